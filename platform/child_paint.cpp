// The surfaces child windows paint into: BeginPaint and GetDC on a child
// give device contexts whose drawing (BitBlt) lands in the child's surface,
// which the SDL backend shows over the GL frame (child_composite.cpp).
#include "platform/layer.h"

namespace layer {

GdiObject* ChildSurface(HWND hwnd) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !(w->style & WS_CHILD)) return nullptr;
  const LONG width = ClientWidth(*w), height = ClientHeight(*w);
  GdiObject& s = w->surface;
  if (s.width != width || s.height != height || s.bits.empty()) {
    // A new size starts from a blank surface; the window repaints it.
    if (!MakeBitmap(s, width, height, true, 32)) {
      s = GdiObject{};
      return nullptr;
    }
  }
  return &s;
}

}  // namespace layer
