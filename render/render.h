// The rendering support in one include: GL binding and names, GL state and
// lights, geometry primitives, the pseudo-random source.
#pragma once

#include "render/geometry.h"
#include "render/gl.h"
#include "render/glstate.h"
#include "render/random.h"
