#include "platform/child_composite.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gdi_objects.h"
#include "platform/region.h"

namespace layer {
namespace {

// The few GL 1.1 entry points and constants the compositing needs; the
// layer sits below the GL binding of render/, so it looks them up itself.
using GLenum = unsigned int;
using GLbitfield = unsigned int;
using GLint = int;
using GLsizei = int;
using GLboolean = unsigned char;
using GLclampf = float;
using GLdouble = double;
using GLfloat = float;

constexpr GLenum kProjection = 0x1701, kModelview = 0x1700;
constexpr GLbitfield kAllAttribBits = 0x000FFFFF;
constexpr GLbitfield kClientAllAttribBits = 0xFFFFFFFF;
constexpr GLenum kBgra = 0x80E1, kUnsignedByte = 0x1401;
constexpr GLenum kAlphaTest = 0x0BC0, kGreater = 0x0204;
constexpr GLenum kUnpackAlignment = 0x0CF5, kUnpackRowLength = 0x0CF2, kUnpackSkipRows = 0x0CF3,
                 kUnpackSkipPixels = 0x0CF4, kUnpackSwapBytes = 0x0CF0, kUnpackLsbFirst = 0x0CF1;
constexpr GLenum kDisabledCaps[] = {
    0x0B71,  // depth test
    0x0B50,  // lighting
    0x0DE0,  // texture 1D
    0x0DE1,  // texture 2D
    0x0B60,  // fog
    0x0BE2,  // blend
    0x0C11,  // scissor test
    0x0B90,  // stencil test
    0x0BF2,  // colour logic op
    0x0BD0,  // dither
};

struct Gl {
  void (*PushAttrib)(GLbitfield);
  void (*PopAttrib)();
  void (*PushClientAttrib)(GLbitfield);
  void (*PopClientAttrib)();
  void (*MatrixMode)(GLenum);
  void (*PushMatrix)();
  void (*PopMatrix)();
  void (*LoadIdentity)();
  void (*Ortho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
  void (*Viewport)(GLint, GLint, GLsizei, GLsizei);
  void (*RasterPos2i)(GLint, GLint);
  void (*DrawPixels)(GLsizei, GLsizei, GLenum, GLenum, const void*);
  void (*Enable)(GLenum);
  void (*Disable)(GLenum);
  void (*AlphaFunc)(GLenum, GLclampf);
  void (*PixelStorei)(GLenum, GLint);
  void (*PixelZoom)(GLfloat, GLfloat);
  void (*ColorMask)(GLboolean, GLboolean, GLboolean, GLboolean);
};

template <class F>
bool Load(GlProcLookup lookup, const char* name, F& f) {
  f = reinterpret_cast<F>(lookup(name));
  return f != nullptr;
}

bool LoadGl(GlProcLookup lookup, Gl& gl) {
  return Load(lookup, "glPushAttrib", gl.PushAttrib) && Load(lookup, "glPopAttrib", gl.PopAttrib) &&
         Load(lookup, "glPushClientAttrib", gl.PushClientAttrib) &&
         Load(lookup, "glPopClientAttrib", gl.PopClientAttrib) && Load(lookup, "glMatrixMode", gl.MatrixMode) &&
         Load(lookup, "glPushMatrix", gl.PushMatrix) && Load(lookup, "glPopMatrix", gl.PopMatrix) &&
         Load(lookup, "glLoadIdentity", gl.LoadIdentity) && Load(lookup, "glOrtho", gl.Ortho) &&
         Load(lookup, "glViewport", gl.Viewport) && Load(lookup, "glRasterPos2i", gl.RasterPos2i) &&
         Load(lookup, "glDrawPixels", gl.DrawPixels) && Load(lookup, "glEnable", gl.Enable) &&
         Load(lookup, "glDisable", gl.Disable) && Load(lookup, "glAlphaFunc", gl.AlphaFunc) &&
         Load(lookup, "glPixelStorei", gl.PixelStorei) && Load(lookup, "glPixelZoom", gl.PixelZoom) &&
         Load(lookup, "glColorMask", gl.ColorMask);
}

// A child's pixels ready for glDrawPixels: the part inside the client area
// of the top-level window, rows bottom-up, alpha 255 inside the window
// region and 0 outside.
struct Layer {
  int x = 0, y = 0;  // bottom-left corner in GL window coordinates
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};

bool BuildLayer(const WindowRecord& child, POINT at, int clientW, int clientH, Layer& out) {
  const GdiObject& surface = child.surface;
  if (surface.bits.empty() || surface.bitCount != 32 || !surface.topDown) return false;  // never painted
  const Region* shape = nullptr;
  if (child.region) {
    const GdiObject* r = LookupGdi(child.region, GdiKind::Region);
    if (r) shape = &r->region;
  }
  const int x0 = std::max(0, -at.x), y0 = std::max(0, -at.y);
  const int x1 = std::min<int>(surface.width, clientW - at.x), y1 = std::min<int>(surface.height, clientH - at.y);
  if (x0 >= x1 || y0 >= y1) return false;
  out.width = x1 - x0;
  out.height = y1 - y0;
  out.x = at.x + x0;
  out.y = clientH - (at.y + y1);
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  std::uint8_t* dst = out.pixels.data();
  for (int y = y1 - 1; y >= y0; --y) {
    const std::uint8_t* row = surface.bits.data() + static_cast<std::size_t>(y) * surface.stride + x0 * 4;
    for (int x = x0; x < x1; ++x, row += 4, dst += 4) {
      dst[0] = row[0];
      dst[1] = row[1];
      dst[2] = row[2];
      dst[3] = !shape || RegionContains(*shape, x, y) ? 255 : 0;
    }
  }
  return true;
}

}  // namespace

void CompositeChildren(WindowRecord& top, GlProcLookup lookup) {
  const int clientW = ClientWidth(top), clientH = ClientHeight(top);
  const POINT origin = ClientOrigin(top);
  std::vector<Layer> layers;
  for (WindowRecord* w : AllWindows()) {  // creation order: later children on top
    if (!(w->style & WS_CHILD) || !w->visible || TopLevelOf(w) != &top) continue;
    bool shown = true;  // a hidden ancestor hides the child
    for (WindowRecord* p = LookupWindow(w->parent); p && p != &top; p = LookupWindow(p->parent)) shown &= p->visible;
    if (!shown) continue;
    POINT at = ClientOrigin(*w);
    at.x -= origin.x;
    at.y -= origin.y;
    Layer layer;
    if (BuildLayer(*w, at, clientW, clientH, layer)) layers.push_back(std::move(layer));
  }
  Gl gl{};
  if (layers.empty() || !LoadGl(lookup, gl)) return;

  gl.PushAttrib(kAllAttribBits);
  gl.PushClientAttrib(kClientAllAttribBits);
  gl.MatrixMode(kProjection);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.Ortho(0, clientW, 0, clientH, -1, 1);
  gl.MatrixMode(kModelview);
  gl.PushMatrix();
  gl.LoadIdentity();
  gl.Viewport(0, 0, clientW, clientH);
  for (GLenum cap : kDisabledCaps) gl.Disable(cap);
  gl.Enable(kAlphaTest);
  gl.AlphaFunc(kGreater, 0.5f);
  gl.ColorMask(1, 1, 1, 1);
  gl.PixelZoom(1.0f, 1.0f);
  gl.PixelStorei(kUnpackAlignment, 4);
  gl.PixelStorei(kUnpackRowLength, 0);
  gl.PixelStorei(kUnpackSkipRows, 0);
  gl.PixelStorei(kUnpackSkipPixels, 0);
  gl.PixelStorei(kUnpackSwapBytes, 0);
  gl.PixelStorei(kUnpackLsbFirst, 0);
  for (const Layer& layer : layers) {
    gl.RasterPos2i(layer.x, layer.y);
    gl.DrawPixels(layer.width, layer.height, kBgra, kUnsignedByte, layer.pixels.data());
  }
  gl.PopMatrix();  // modelview
  gl.MatrixMode(kProjection);
  gl.PopMatrix();
  gl.PopClientAttrib();
  gl.PopAttrib();  // restores the matrix mode, viewport, enables and the rest
}

}  // namespace layer
