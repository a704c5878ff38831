// Cane generator: a slender unbranched stalk of NumLevel + 1 bending
// segments with a joint sphere on each, a pair of leaves on every segment
// above the first and one leaf at the top.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the segment, leaf, leaf-pair and top-leaf lists and the plant
// list, whose id lands in `Cane`. A negative `NumLevel` is taken as 0 (the
// top leaf alone).
void CaneAdvancedFractal3D(GLuint& Cane, TLVRProcedure MdlLeaf, TLVRProcedure MatTree,
                           TLVRProcedure MatLeaf, std::int32_t Quality, std::int32_t NumLevel,
                           float TSize);
