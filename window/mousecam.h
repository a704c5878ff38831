// The mouse camera: turns the angles and depth that the window procedure
// gathers from drags into model-view transforms, once per frame, and sets
// the drag speed for the next mouse messages.
#pragma once

#include <cstdint>

// Axis modes of SetGLMouseMove.
inline constexpr std::int32_t GL_M0 = 0;  // depth along z, XRot about x, then YRot about y
inline constexpr std::int32_t GL_MX = 1;  // depth along y, XRot about x, then YRot about z
inline constexpr std::int32_t GL_MY = 2;  // depth along x, XRot about -z, then YRot about y
inline constexpr std::int32_t GL_MZ = 3;  // depth along z, XRot about y, then YRot about x

struct MouseTranslation {
  float X = 0, Y = 0, Z = 0;
};

// The translation applied by the last SetGLMouseMove call.
extern MouseTranslation My;

// MSpeed := Speed, then multiplies the mode's translation and two rotations
// onto the current (model-view) matrix. An unknown mode changes nothing else.
void SetGLMouseMove(std::int32_t XYZ, std::int32_t Speed);
