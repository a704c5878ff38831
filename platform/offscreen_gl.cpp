// The offscreen GL context on SDL's offscreen video driver.
#include "platform/offscreen_gl.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

SDL_Window* g_window = nullptr;
SDL_GLContext g_context = nullptr;
int g_width = 0, g_height = 0;
bool g_videoOpen = false;
int g_mesaHeadless = -1;  // -1: not decided yet, read the environment

bool OpenVideo(std::string& error) {
  if (g_videoOpen) return true;
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("SDL offscreen video: ") + SDL_GetError();
    return false;
  }
  g_videoOpen = true;
  return true;
}

}  // namespace

bool OpenOffscreenGL(int width, int height, std::string& error) {
  if (g_context && width == g_width && height == g_height) return MakeOffscreenGLCurrent(true);
  CloseOffscreenGL();
  if (!OpenVideo(error)) return false;
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  g_window = SDL_CreateWindow("garden offscreen", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!g_window) {
    error = std::string("SDL offscreen window: ") + SDL_GetError();
    return false;
  }
  g_context = SDL_GL_CreateContext(g_window);
  if (!g_context) {
    error = std::string("SDL offscreen GL context: ") + SDL_GetError();
    SDL_DestroyWindow(g_window);
    g_window = nullptr;
    return false;
  }
  g_width = width;
  g_height = height;
  SDL_GL_SetSwapInterval(0);
  return true;
}

bool MakeOffscreenGLCurrent(bool current) {
  if (!g_context) return !current;
  return SDL_GL_MakeCurrent(g_window, current ? g_context : nullptr) == 0;
}

void SwapOffscreenGL() {
  if (!g_window) return;
  SDL_GL_SwapWindow(g_window);
  // A pbuffer swap does not wait for anything, so without this the next
  // frames would be binned while earlier ones are still being drawn, each
  // holding its own copy of the garden's triangles (llvmpipe keeps several
  // such scenes in flight). A window's swap paces the loop the same way.
  static auto finish = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFinish"));
  if (finish) finish();
}

void CloseOffscreenGL() {
  if (g_context) {
    SDL_GL_MakeCurrent(g_window, nullptr);
    SDL_GL_DeleteContext(g_context);
  }
  if (g_window) SDL_DestroyWindow(g_window);
  g_context = nullptr;
  g_window = nullptr;
  g_width = g_height = 0;
}

bool OffscreenGLOpen() { return g_context != nullptr; }

void HeadlessUseMesaGL(bool on) { g_mesaHeadless = on ? 1 : 0; }

bool HeadlessMesaGL() {
  if (g_mesaHeadless < 0) {
    const char* env = std::getenv("GARDEN_HEADLESS_GL");
    g_mesaHeadless = env && std::strcmp(env, "mesa") == 0 ? 1 : 0;
  }
  return g_mesaHeadless == 1;
}
