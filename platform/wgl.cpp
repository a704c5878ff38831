// GL rendering contexts bound to windows' device contexts, the buffer swap,
// and the swap counter and frame hook tests use to drive a frame loop.
#include <map>

#include "platform/gdi_objects.h"
#include "platform/headless.h"
#include "platform/layer.h"

namespace layer {
namespace {

struct Context {
  void* backend = nullptr;
  HWND window = nullptr;  // the window it was created for (null once that is gone)
};

std::map<std::uintptr_t, Context> g_contexts;
HGLRC g_current = nullptr;
HDC g_currentDc = nullptr;
long g_swaps = 0;
long g_attempts = 0;
FrameHook g_hook = nullptr;

Context* LookupContext(HGLRC rc) {
  auto it = g_contexts.find(reinterpret_cast<std::uintptr_t>(rc));
  return it == g_contexts.end() ? nullptr : &it->second;
}

WindowRecord* WindowOfDc(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  return dc ? LookupWindow(dc->window) : nullptr;
}

void Release() {
  if (g_current) Backend().makeCurrent(nullptr, nullptr);
  g_current = nullptr;
  g_currentDc = nullptr;
}

}  // namespace

void ForgetWindowGl(WindowRecord& w) {
  // A window going away takes its drawable with it: release the context
  // bound to it so later GL calls have no target instead of a dead one.
  if (Context* c = LookupContext(g_current); c && c->window == w.handle) Release();
  for (auto& [h, c] : g_contexts)
    if (c.window == w.handle) c.window = nullptr;
}

void ResetGl() {
  Release();
  for (auto& [h, c] : g_contexts) Backend().deleteContext(c.backend);
  g_contexts.clear();
}

void ResetFrames() {
  g_swaps = 0;
  g_attempts = 0;
  g_hook = nullptr;
}

}  // namespace layer

using namespace layer;

HGLRC wglCreateContext(HDC hdc) {
  ++g_attempts;
  WindowRecord* w = WindowOfDc(hdc);
  if (!w || w->pixelFormat == 0) return nullptr;  // a context needs a window with a pixel format
  const auto formats = Backend().pixelFormats();
  if (w->pixelFormat > static_cast<int>(formats.size())) return nullptr;
  void* ctx = Backend().createContext(*w, formats[static_cast<std::size_t>(w->pixelFormat - 1)]);
  if (!ctx) return nullptr;
  const std::uintptr_t h = NewHandleValue();
  g_contexts.emplace(h, Context{ctx, w->handle});
  return reinterpret_cast<HGLRC>(h);
}

BOOL wglMakeCurrent(HDC hdc, HGLRC context) {
  if (!context) {
    Release();
    return TRUE;
  }
  Context* c = LookupContext(context);
  WindowRecord* w = WindowOfDc(hdc);
  if (!c || !w || !c->window || w->handle != c->window) return FALSE;
  if (!Backend().makeCurrent(w, c->backend)) return FALSE;
  g_current = context;
  g_currentDc = hdc;
  return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
  Context* c = LookupContext(context);
  if (!c) return FALSE;
  if (g_current == context) Release();
  Backend().deleteContext(c->backend);
  g_contexts.erase(reinterpret_cast<std::uintptr_t>(context));
  return TRUE;
}

HGLRC wglGetCurrentContext() { return g_current; }
HDC wglGetCurrentDC() { return g_current ? g_currentDc : nullptr; }

BOOL SwapBuffers(HDC hdc) {
  WindowRecord* w = WindowOfDc(hdc);
  if (!w) return FALSE;  // e.g. the window was closed during this frame
  Backend().swapBuffers(*w);
  ++g_swaps;
  if (g_hook) g_hook(g_swaps);
  return TRUE;
}

long SwapBuffersCount() { return g_swaps; }
long ContextAttemptCount() { return g_attempts; }
void SetFrameHook(FrameHook hook) { g_hook = hook; }
