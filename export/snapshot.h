// One frame of the garden rendered by the system's GL (Mesa) without a
// window on screen: SDL's offscreen video driver gives the demo's window
// code an EGL surface, and the frame is drawn exactly as the demo draws it,
// with the camera angles and depth given, then read back.
#pragma once

#include <cstdint>
#include <string>

#include "textures/image_write.h"

struct SnapshotRequest {
  std::int32_t width = 800;
  std::int32_t height = 600;
  float xrot = 0;   // XRot, degrees
  float yrot = 0;   // YRot, degrees
  float depth = 0;  // Depth
  std::int32_t seed = 0;   // RandSeed; 0 is the demo's garden
  std::string textureDir;  // folder holding the texture files
};

// Renders the frame into `image` (opaque RGBA, top row first). Returns an
// empty string or a one-line error.
std::string RenderSnapshot(const SnapshotRequest& request, RgbaImage& image);

// Reads the colour buffer of the current context (the back buffer after a
// frame was drawn) as an opaque RGBA image, top row first.
RgbaImage ReadFrame(std::int32_t width, std::int32_t height);
