// Backend selection and the reset of the whole layer. The backend comes
// from GARDEN_PLATFORM ("sdl", the default, or "headless") unless a test
// selects one in process; it is opened at the first call that needs it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/gdi_log.h"
#include "platform/globalmem.h"
#include "platform/headless.h"
#include "platform/layer.h"
#include "platform/offscreen_gl.h"

namespace layer {
namespace {

const PlatformBackend* g_backend = nullptr;
bool g_opened = false;

const PlatformBackend& Choose() {
  const char* env = std::getenv("GARDEN_PLATFORM");
  if (env && std::strcmp(env, "headless") == 0) return HeadlessBackend();
  if (env && *env && std::strcmp(env, "sdl") != 0) {
    std::fprintf(stderr, "garden: unknown GARDEN_PLATFORM \"%s\", using sdl\n", env);
  }
  return SdlBackend();
}

void ResetAll() {
  ResetGl();
  ResetWindows();
  ResetQueue();
  ResetInput();
  ResetGdi();
  ResetCursors();
  ResetFrames();
  ResetHeadless();
  ResetGlobalMemory();
  ResetRegionDataLog();
}

}  // namespace

const PlatformBackend& Backend() {
  if (!g_backend) g_backend = &Choose();
  if (!g_opened) {
    std::string error;
    if (!g_backend->open(error)) {
      std::fprintf(stderr, "garden: cannot open a display: %s\n", error.c_str());
      std::fflush(stderr);
      std::exit(1);
    }
    g_opened = true;
  }
  return *g_backend;
}

bool BackendIsHeadless() { return g_backend == &HeadlessBackend(); }

}  // namespace layer

using namespace layer;

void ResetPlatform() {
  if (g_opened) ResetAll();
}

void UseHeadlessPlatform(int screenWidth, int screenHeight) {
  ResetPlatform();
  if (g_opened && g_backend != &HeadlessBackend()) {
    g_backend->close();
    g_opened = false;
  }
  g_backend = &HeadlessBackend();
  Backend();
  ResetAll();
  HeadlessSetScreenSize(screenWidth, screenHeight);
}

void UseSdlPlatform() {
  ResetPlatform();
  if (g_opened && g_backend != &SdlBackend()) {
    g_backend->close();
    g_opened = false;
  }
  OffscreenGlShutdown();  // the real display takes over SDL's video
  g_backend = &SdlBackend();
}

const char* PlatformBackendName() {
  if (!g_backend) g_backend = &Choose();
  return g_backend->name;
}
