// The bush generator: wooden segments splitting into three at every level,
// 0.7 smaller per level, no trunk, a leafy crown at every tip.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles Ramo, Foglie and Chioma, makes the discarded draw, then compiles
// the plant list (standing at y = −1) and stores its id in Bush.
// Random draws: 1 + 13 · (3^N − 1) / 2 + 3^N for NumLevel N (2, 17, 602 for
// N = 0, 1, 4). Quality 1..255; NumLevel 0 or more (negative is treated as 0).
void BushAdvancedFractal3D(GLuint& Bush, TLVRProcedure MdlLeaf, TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                           std::int32_t Quality, std::int32_t NumLevel, float TSize);
