// Layer-internal: where the pixels of bitmap objects and device contexts
// live, for the calls that read or write them (BitBlt, colour tables) and
// for the backend that shows child windows. Not for use outside platform/.
#pragma once

#include "platform/dib.h"
#include "platform/gdi_objects.h"
#include "platform/layer.h"

namespace layer {

// The layout of a bitmap object's pixels.
DibView BitmapView(GdiObject& bitmap);

// The pixels a device context draws into: the bitmap selected into a memory
// DC, or the surface of the child window of a window DC (made at the
// client size on first use). False for anything else.
bool DcPixels(HDC dc, DibView& out);

// The surface of a child window, sized to its client area; false for
// top-level windows.
bool ChildSurface(WindowRecord& w, DibView& out);

}  // namespace layer
