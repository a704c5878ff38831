// Mangrove generator: a tree on a two-unit trunk that closes to a point,
// with a tap root below it, standing on a root system of the root generator.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the segment, leaf, crown and trunk lists, the tree list and (via
// RadixAdvancedFractal3D) the roots, then the plant list, whose id lands in
// `MangroveType`. A negative `NumLevel` is taken as 0 (the crowns alone).
void MangroveTypeAdvancedFractal3D(GLuint& MangroveType, TLVRProcedure MdlLeaf,
                                   TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                                   std::int32_t Quality, std::int32_t NumLevel, float TSize);
