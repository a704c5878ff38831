// Yucca generator: a trunk forking into three, three again, then two, then
// nearly straight shrinking stems, each ending in a rosette of 24 leaves.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the segment, leaf, rosette and trunk lists and the plant list,
// whose id lands in `YuccaType`. A negative `NumLevel` is taken as 0 (one
// rosette).
void YuccaTypeAdvancedFractal3D(GLuint& YuccaType, TLVRProcedure MdlLeaf, TLVRProcedure MatTree,
                                TLVRProcedure MatLeaf, std::int32_t Quality,
                                std::int32_t NumLevel, float TSize);
