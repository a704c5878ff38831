// Offscreen GL for the headless backend: each context owns a hidden SDL
// window of the offscreen video driver, whose EGL surface is its drawable.
#include "platform/offscreen_gl.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace layer {
namespace {

struct OffscreenContext {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
};

bool g_videoUp = false;
std::vector<std::unique_ptr<OffscreenContext>> g_contexts;

bool EnsureVideo() {
  if (g_videoUp) return true;
  if (SDL_WasInit(SDL_INIT_VIDEO)) return false;  // a real display is in use: no offscreen driver
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  const bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
  if (!up) return false;
  g_videoUp = true;
  return true;
}

}  // namespace

void* OffscreenGlCreate(int width, int height) {
  if (!EnsureVideo()) return nullptr;
  struct Try {
    int depth, stencil, doubleBuffer;
  };
  for (const Try t : {Try{24, 8, 1}, Try{24, 0, 1}, Try{16, 0, 1}, Try{16, 0, 0}}) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, t.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, t.stencil);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, t.doubleBuffer);
    SDL_Window* w = SDL_CreateWindow("offscreen", 0, 0, std::max(1, width), std::max(1, height),
                                     SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!w) continue;
    SDL_GLContext c = SDL_GL_CreateContext(w);
    if (!c) {
      SDL_DestroyWindow(w);
      continue;
    }
    SDL_GL_SetSwapInterval(0);
    g_contexts.push_back(std::make_unique<OffscreenContext>(OffscreenContext{w, c}));
    return g_contexts.back().get();
  }
  return nullptr;
}

bool OffscreenGlMakeCurrent(void* context) {
  if (!g_videoUp) return context == nullptr;
  auto* c = static_cast<OffscreenContext*>(context);
  if (!c) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
  return SDL_GL_MakeCurrent(c->window, c->context) == 0;
}

void OffscreenGlDelete(void* context) {
  auto it = std::find_if(g_contexts.begin(), g_contexts.end(), [context](const auto& c) { return c.get() == context; });
  if (it == g_contexts.end()) return;
  OffscreenContext& c = **it;
  if (SDL_GL_GetCurrentContext() == c.context) SDL_GL_MakeCurrent(nullptr, nullptr);
  SDL_GL_DeleteContext(c.context);
  SDL_DestroyWindow(c.window);
  g_contexts.erase(it);
}

void OffscreenGlSwap(void* context) {
  auto* c = static_cast<OffscreenContext*>(context);
  if (!c) return;
  SDL_GL_SwapWindow(c->window);
  // A pbuffer swap does not flush: finish the frame so it is really drawn
  // (and timed) before the next one starts.
  using FinishFn = void (*)();
  static auto finish = reinterpret_cast<FinishFn>(SDL_GL_GetProcAddress("glFinish"));
  if (finish && SDL_GL_GetCurrentContext() == c->context) finish();
}

void OffscreenGlShutdown() {
  if (g_videoUp && g_contexts.empty()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    g_videoUp = false;
  }
}

}  // namespace layer

namespace {
void* g_single = nullptr;
}  // namespace

bool OpenOffscreenGL(int width, int height, std::string& error) {
  CloseOffscreenGL();
  g_single = layer::OffscreenGlCreate(width, height);
  if (!g_single) {
    error = std::string("cannot create an offscreen GL context: ") + SDL_GetError();
    return false;
  }
  return layer::OffscreenGlMakeCurrent(g_single);
}

bool MakeOffscreenGLCurrent(bool current) {
  if (!g_single) return !current;
  return layer::OffscreenGlMakeCurrent(current ? g_single : nullptr);
}

void SwapOffscreenGL() { layer::OffscreenGlSwap(g_single); }

void CloseOffscreenGL() {
  if (!g_single) return;
  layer::OffscreenGlDelete(g_single);
  g_single = nullptr;
}

bool OffscreenGLOpen() { return g_single != nullptr; }
