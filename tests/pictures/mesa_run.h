// Test support: runs the whole demo (GardenMain) on the headless backend
// with a real Mesa context, in the run folder with the generated textures,
// and drives it from the frame hook: after each swap the current step reads
// the frame just drawn and then prepares the next one (input, plant lists).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "textures/image_write.h"

namespace pictures {

// One drawn frame as read back after its swap, with the matrices and
// viewport it was drawn with (the model-view left by the frame is the
// garden's: every plant pops what it pushes).
struct Frame {
  RgbaImage image;                   // top row first
  std::array<float, 16> modelView{};  // column-major
  std::array<float, 16> projection{};
  std::array<int, 4> viewport{};
  float xRot = 0, yRot = 0, depth = 0;
};

// A step runs in the frame hook after the swap of frame `frame` (1-based);
// it may read that frame (ReadFrame) and change what the next frame draws.
// Returning false ends the run (Esc is pressed).
using Step = std::function<bool(long frame)>;

// Reads the frame just swapped.
Frame ReadFrame();

// Runs the demo with `step` as the frame hook; returns GardenMain's exit
// code. The run folder is GARDEN_BINARY_DIR/run.
int RunDemoOnMesa(Step step);

// A point of the garden (world coordinates) projected with a frame's
// matrices: window x from the left, y from the top.
struct ScreenPoint {
  double x = 0, y = 0;
};
ScreenPoint Project(const std::array<float, 16>& modelView, const std::array<float, 16>& projection,
                    const std::array<int, 4>& viewport, int imageHeight, double x, double y, double z);

// Column-major matrix product a * b.
std::array<float, 16> Multiply(const std::array<float, 16>& a, const std::array<float, 16>& b);
std::array<float, 16> RotationY(double degrees);
std::array<float, 16> TranslationZ(double dz);

// Writes the picture as PNG under GARDEN_BINARY_DIR/pictures/<name>.png.
std::string SavePicture(const RgbaImage& image, const std::string& name);

}  // namespace pictures
