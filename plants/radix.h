// Root generator: a display list of a root system that spreads from one
// point downward, four roots splitting into four at every level.
#pragma once

#include <cstdint>

#include "plants/scheme.h"
#include "render/gl.h"

// Compiles the root segment list and the root list; stores the root list's
// id in `Radix`. `Angle` is the base tilt of every root in degrees (a random
// 0..20 is added), `NumLevel` the depth at which the roots end (a negative
// depth ends at once, like 0).
void RadixAdvancedFractal3D(GLuint& Radix, TLVRProcedure MatTree, std::int32_t Angle,
                            std::int32_t Quality, std::int32_t NumLevel, float TSize);
