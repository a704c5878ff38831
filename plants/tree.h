// The tree generator: a trunk with a flared, jittered foot, three-way
// branching down to NumLevel with a leafy crown at every tip, and a second,
// smaller branch system (scale 0.75, turned 45°) on top of the trunk.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the component lists Ramo, Foglie, Chioma and Fusto, makes the
// discarded draw, then compiles the plant list and stores its id in Tree.
// Random draws: 20 · (Quality + 1) for the trunk, one discarded, then each
// of the two recursions: 13 per inner node and 1 per tip, depth first.
// Quality 1..253; NumLevel 0 or more (a negative depth is treated as 0).
void TreeAdvancedFractal3D(GLuint& Tree, TLVRProcedure MdlLeaf, TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                           std::int32_t Quality, std::int32_t NumLevel, float TSize);
