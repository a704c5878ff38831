// The second tree generator (the pine): three branch systems stacked at
// heights 0, 0.8 and 1.6, in which every node splits into three branches or
// continues as one, deeper nodes splitting less often. Segments carry a
// joint sphere, leaves hang 0.35 lower, crowns tilt their leaves 50°/60°.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles Ramo, Foglie, Chioma and Fusto, makes the discarded draw, then
// compiles the plant list (three blocks) and stores its id in Tree.
// Random draws: 20 · (Quality + 1) for the trunk, one discarded, then the
// three recursions in order: 14 per split node (split test included), 6 per
// single node, 1 per tip, depth first. A node at Level splits when
// Random(NumLevel − 1) + 1 > Level.
// Quality 1..253; NumLevel 0 or more (a negative depth is treated as 0).
void Tree2AdvancedFractal3D(GLuint& Tree, TLVRProcedure MdlLeaf, TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                            std::int32_t Quality, std::int32_t NumLevel, float TSize);
