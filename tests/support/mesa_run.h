// Test support (header only, shared by the picture and endurance tests):
// runs the whole demo (GardenMain) on the headless backend
// with a real Mesa context, in the run folder with the generated textures,
// and drives it from the frame hook: after each swap the current step reads
// the frame just drawn and then prepares the next one (input, plant lists).
#pragma once

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/entry.h"
#include "platform/headless.h"
#include "platform/offscreen_gl.h"
#include "render/gl.h"
#include "textures/image_write.h"
#include "window/glwindow.h"
#include "window/wndproc.h"

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

namespace detail {

inline Step g_step;
inline bool g_ended = false;
inline bool g_mesaUsed = false;

inline void Hook(long frame) {
  if (g_ended) return;
  if (!g_step(frame)) {
    g_ended = true;
    HeadlessKey(VK_ESCAPE, true);
    HeadlessKey(VK_ESCAPE, false);
  }
}

}  // namespace detail

// Reads the frame just swapped.
inline Frame ReadFrame() {
  Frame f;
  glGetIntegerv(GL_VIEWPORT, f.viewport.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, f.modelView.data());
  glGetFloatv(GL_PROJECTION_MATRIX, f.projection.data());
  const int w = f.viewport[0] + f.viewport[2];
  const int h = f.viewport[1] + f.viewport[3];
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  f.image = RgbaImage(w, h);
  const std::size_t stride = static_cast<std::size_t>(w) * 4;
  for (int y = 0; y < h; ++y)  // GL's rows run from the bottom up
    std::copy_n(&rows[static_cast<std::size_t>(h - 1 - y) * stride], stride, f.image.At(0, y));
  f.xRot = XRot;
  f.yRot = YRot;
  f.depth = Depth;
  return f;
}

// Runs the demo with `step` as the frame hook; returns GardenMain's exit
// code. The run folder is GARDEN_BINARY_DIR/run.
inline int RunDemoOnMesa(Step step) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(GARDEN_BINARY_DIR) / "run");
  UseHeadlessPlatform(1024, 768);
  HeadlessUseMesaGl(true);
  detail::g_mesaUsed = true;
  detail::g_step = std::move(step);
  detail::g_ended = false;
  SetFrameHook(detail::Hook);
  const int code = GardenMain();
  SetFrameHook(nullptr);
  HeadlessUseMesaGl(false);
  ResetPlatform();
  std::filesystem::current_path(previous);
  return code;
}

// True once a run on Mesa happened in this process. Mesa and LLVM keep
// process-wide allocations that go away with the unloaded driver, which
// LeakSanitizer reports as leaks of unknown modules; test programs turn leak
// checking off for processes that loaded the driver (see
// __lsan_is_turned_off in the test files) and keep it for all others.
inline bool MesaWasUsed() { return detail::g_mesaUsed; }

// A point of the garden (world coordinates) projected with a frame's
// matrices: window x from the left, y from the top.
struct ScreenPoint {
  double x = 0, y = 0;
};

inline ScreenPoint Project(const std::array<float, 16>& mv, const std::array<float, 16>& p, const std::array<int, 4>& vp,
                    int imageHeight, double x, double y, double z) {
  auto apply = [](const std::array<float, 16>& m, const std::array<double, 4>& v) {
    std::array<double, 4> r{};
    for (int i = 0; i < 4; ++i)
      for (int k = 0; k < 4; ++k) r[i] += static_cast<double>(m[k * 4 + i]) * v[k];
    return r;
  };
  const auto clip = apply(p, apply(mv, {x, y, z, 1}));
  const double nx = clip[0] / clip[3], ny = clip[1] / clip[3];
  const double wx = vp[0] + (nx + 1) / 2 * vp[2];
  const double wy = vp[1] + (ny + 1) / 2 * vp[3];
  return {wx, imageHeight - wy};
}

// Column-major matrix product a * b, and the two transforms the camera adds.
inline std::array<float, 16> Multiply(const std::array<float, 16>& a, const std::array<float, 16>& b) {
  std::array<float, 16> r{};
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += static_cast<double>(a[k * 4 + row]) * b[c * 4 + k];
      r[c * 4 + row] = static_cast<float>(s);
    }
  return r;
}

inline std::array<float, 16> RotationY(double degrees) {
  const double a = degrees * M_PI / 180;
  const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
  return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

inline std::array<float, 16> TranslationZ(double dz) {
  return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, static_cast<float>(dz), 1};
}

// Writes the picture as PNG under GARDEN_BINARY_DIR/pictures/<name>.png.
inline std::string SavePicture(const RgbaImage& image, const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(GARDEN_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / (name + ".png")).string();
  RgbaImage opaque = image;  // the frame's alpha is the clear alpha 0: show the sky as drawn, black
  for (std::size_t i = 3; i < opaque.rgba.size(); i += 4) opaque.rgba[i] = 255;
  WriteBytes(path, EncodePNG(opaque));
  return path;
}

}  // namespace pictures
