// Palm generator: an unbranched, bending stem of NumLevel segments with a
// joint sphere on each, topped by a crown of 27 leaves in three whorls.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the segment, leaf, crown and trunk lists and the plant list,
// whose id lands in `Palm`. A negative `NumLevel` is taken as 0 (the crown
// alone).
void PalmAdvancedFractal3D(GLuint& Palm, TLVRProcedure MdlLeaf, TLVRProcedure MatTree,
                           TLVRProcedure MatLeaf, std::int32_t Quality, std::int32_t NumLevel,
                           float TSize);
