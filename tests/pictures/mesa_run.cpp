// The demo on Mesa, driven from the frame hook.
#include "tests/pictures/mesa_run.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <utility>

#include "app/entry.h"
#include "platform/headless.h"
#include "platform/offscreen_gl.h"
#include "render/gl.h"
#include "window/glwindow.h"
#include "window/wndproc.h"

namespace pictures {
namespace {

Step g_step;
bool g_ended = false;

void Hook(long frame) {
  if (g_ended) return;
  if (!g_step(frame)) {
    g_ended = true;
    HeadlessKey(VK_ESCAPE, true);
    HeadlessKey(VK_ESCAPE, false);
  }
}

}  // namespace

Frame ReadFrame() {
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

int RunDemoOnMesa(Step step) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(GARDEN_BINARY_DIR) / "run");
  UseHeadlessPlatform(1024, 768);
  HeadlessUseMesaGL(true);
  g_step = std::move(step);
  g_ended = false;
  SetFrameHook(Hook);
  const int code = GardenMain();
  SetFrameHook(nullptr);
  HeadlessUseMesaGL(false);
  ResetPlatform();
  std::filesystem::current_path(previous);
  return code;
}

ScreenPoint Project(const std::array<float, 16>& mv, const std::array<float, 16>& p, const std::array<int, 4>& vp,
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

std::array<float, 16> Multiply(const std::array<float, 16>& a, const std::array<float, 16>& b) {
  std::array<float, 16> r{};
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += static_cast<double>(a[k * 4 + row]) * b[c * 4 + k];
      r[c * 4 + row] = static_cast<float>(s);
    }
  return r;
}

std::array<float, 16> RotationY(double degrees) {
  const double a = degrees * M_PI / 180;
  const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
  return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

std::array<float, 16> TranslationZ(double dz) {
  return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, static_cast<float>(dz), 1};
}

std::string SavePicture(const RgbaImage& image, const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(GARDEN_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / (name + ".png")).string();
  RgbaImage opaque = image;  // the frame's alpha is the clear alpha 0: show the sky as drawn, black
  for (std::size_t i = 3; i < opaque.rgba.size(); i += 4) opaque.rgba[i] = 255;
  WriteBytes(path, EncodePNG(opaque));
  return path;
}

}  // namespace pictures
