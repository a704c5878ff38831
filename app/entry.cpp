// The demo's start-up sequence, frame loop and shutdown.
#include "app/entry.h"

#include <string>

#include "app/catalogue.h"
#include "app/frame.h"
#include "render/gl.h"
#include "render/glstate.h"
#include "window/glwindow.h"
#include "window/wndproc.h"

namespace {

constexpr std::int32_t kWindowWidth = 800;
constexpr std::int32_t kWindowHeight = 600;
constexpr std::int32_t kColourBits = 32;
constexpr double kFarPlane = 100.0;

}  // namespace

int GardenMain(const char* glLibrary, const char* gluLibrary) {
  MaskFloatingPointExceptions();
  const std::string bindError = BindGL(glLibrary, gluLibrary);
  if (!bindError.empty()) {
    MessageBoxA(nullptr, bindError.c_str(), "Error", MB_OK);
    return 0;
  }
  const int code = GardenRun();
  UnbindGL();
  return code;
}

int GardenRun() {
  // Yes, or a box that could not be shown, means full screen.
  FullScreen = MessageBoxA(nullptr, kFullScreenQuestion, kFullScreenCaption, MB_YESNO | MB_ICONQUESTION) != IDNO;
  // The window class takes its cursor and icon from these settings.
  OGLWindowSetting(ARROW, "", GENERIC, "");
  CreateOGLWindow(kWindowTitle, kWindowWidth, kWindowHeight, kColourBits, FullScreen);
  OpenGL_Init(kFarPlane, 0.0, 0.0, 0.0, 0.0);
  SetGLRefractive();
  SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
  OpenGL_CreateList();

  // No timing and no sleep: frames come as fast as drawing and the buffer
  // swap allow. The test follows the swap, so the frame in which the window
  // went away is still drawn in full.
  do {
    glClear(GL_COLOR_BUFFER_BIT);
    SetGLMsg();
    OpenGL_Draw();
    SwapBuffers(DCWindow);
  } while (Active);

  DeleteOGLWindow();
  return 0;
}
