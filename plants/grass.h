// Grass generator: a patch of grass tufts scattered by a four-level random
// tree of placements; each tuft is one of three open cones of blades.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the three tuft lists (short, middle, tall, each with its own
// material) and the patch list, whose id lands in `Grass`. `Size` sets the
// tufts, `Distance` the scale of the whole patch; it must not be 0.
void GrassAdvancedFractal3D(GLuint& Grass, TLVRProcedure MatGrass1, TLVRProcedure MatGrass2,
                            TLVRProcedure MatGrass3, std::int32_t Quality, float Size,
                            float Distance);
