// Fixed GL state set-ups of the library: perspective and orthographic
// projections, back-face culling, one light with fixed colours, two-sided
// lighting and the alpha-test mode for cut-out leaves and grass. Each is a
// fixed sequence of GL calls; called while a display list is compiled, the
// calls are recorded into it.
//
// Thin geometry (leaves, grass) is always bracketed as: TwoSideOn,
// glDisable(GL_CULL_FACE), SetGLSprite, the geometry, SetGLSpriteOff,
// glEnable(GL_CULL_FACE), TwoSideOff.
#pragma once

#include <array>
#include <cstdint>

#include "render/gl.h"

// Window size in pixels. The window code sets them when it creates the
// window (the requested size, or the screen size in full screen); they feed
// the viewport and the aspect ratio here and never change afterwards.
extern std::int32_t Width;
extern std::int32_t Height;

// Light colours applied by SetGLLight, and the last light position handed
// to GL (x, y, z, w; w = 0 is a directional light).
extern std::array<float, 4> AmbientLight;   // (0.5, 0.5, 0.5, 1)
extern std::array<float, 4> DiffuseLight;   // (1, 1, 1, 1)
extern std::array<float, 4> SpecularLight;  // (1, 1, 1, 1)
extern std::array<float, 4> LightPosition;  // (0, 0, 0, 0)

// Offsets computed by OpenGL_I2D.
extern float OffX;
extern float OffY;

// Perspective set-up: 45 degree field of view, aspect Width/Height, near
// 0.1, far Depth; clear colour (R, G, B, A), depth test, normalised normals.
void OpenGL_Init(double Depth, double A, double R, double G, double B);
// Orthographic set-up: x in [-2, 2], y scaled by Height/Width, z in [-2, 2].
// A zero Width is a checked failure (integer division by zero).
void OpenGL_I2D(double A, double R, double G, double B);
// Back faces culled, counter-clockwise front faces.
void SetGLRefractive();
// Lighting on; light NLight gets the three colours and position (L0..L3).
void SetGLLight(GLenum NLight, float L0, float L1, float L2, float L3);
// Moves light NLight to (LX, LY, LZ, LVal); when Size is not 0 it also
// marks the place with one point of that size in the current state.
void PutGLPointLight(GLenum NLight, float Size, float LX, float LY, float LZ, float LVal);
// Two-sided lighting on/off.
void TwoSideOn();
void TwoSideOff();
// Alpha test on (alpha must exceed 0.4) / off, with depth writes on and
// blending off.
void SetGLSprite();
void SetGLSpriteOff();
