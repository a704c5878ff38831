#include "export/snapshot.h"

#include <cstdlib>
#include <stdexcept>

#include "app/catalogue.h"
#include "app/entry.h"
#include "app/frame.h"
#include "export/demo_setup.h"
#include "export/folders.h"
#include "platform/headless.h"
#include "render/gl.h"
#include "render/glbind.h"
#include "render/glstate.h"
#include "render/random.h"
#include "textures/bmp_texture.h"
#include "textures/tga_texture.h"
#include "window/glwindow.h"
#include "window/wndproc.h"

namespace {

// Window set-up failures end the demo through ThrowError; here they become
// an error of the snapshot.
struct WindowError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void ThrowWindowError(const char* message) { throw WindowError(message ? message : "window error"); }

}  // namespace

RgbaImage ReadFrame(std::int32_t width, std::int32_t height) {
  RgbaImage bottomUp(width, height);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.rgba.data());
  RgbaImage image(width, height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* src = bottomUp.At(0, height - 1 - y);
    std::uint8_t* dst = image.At(0, y);
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) dst[x * 4 + c] = src[x * 4 + c];
      dst[x * 4 + 3] = 255;  // the window shows no alpha
    }
  }
  return image;
}

std::string RenderSnapshot(const SnapshotRequest& request, RgbaImage& image) {
  // Offscreen surfaces only: never open a display, even when there is one.
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  MaskFloatingPointExceptions();
  if (std::string e = BindGL(); !e.empty()) return e;
  UseSdlPlatform();
  SetThrowErrorHook(ThrowWindowError);

  std::string error;
  try {
    OGLWindowSetting(ARROW, "", GENERIC, "");
    CreateOGLWindow(kWindowTitle, request.width, request.height, 32, false);
    SetUpGardenGL(Width, Height);

    ResetBMPTextureSlots();
    ResetTGATextureSlots();
    for (const GardenPlant& p : GardenPlants) *p.id = 0;
    ResetRandom();
    RandSeed = request.seed;
    error = InFolder(request.textureDir, OpenGL_CreateList);

    if (error.empty()) {
      XRot = request.xrot;
      YRot = request.yrot;
      Depth = request.depth;
      // The demo's frame: clear, draw; the frame is read before any swap.
      glClear(GL_COLOR_BUFFER_BIT);
      OpenGL_Draw();
      glFinish();
      image = ReadFrame(Width, Height);
    }
    DeleteOGLWindow();
  } catch (const WindowError& e) {
    error = std::string("cannot create the offscreen GL window: ") + e.what();
  }
  SetThrowErrorHook(nullptr);
  UnbindGL();
  return error;
}
