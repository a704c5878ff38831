// Device contexts, painting, stock objects and brushes, object selection
// and deletion, and pixel-format choice.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/gdi_objects.h"
#include "platform/layer.h"

namespace layer {
namespace {

std::map<std::uintptr_t, GdiObject> g_objects;
std::map<int, HGDIOBJ> g_stock;
std::map<int, HBRUSH> g_sysBrushes;

COLORREF SysColor(int index) {
  switch (index) {
    case COLOR_SCROLLBAR: return RGB(200, 200, 200);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_MENU: return RGB(240, 240, 240);
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME: return RGB(100, 100, 100);
    case COLOR_MENUTEXT:
    case COLOR_WINDOWTEXT:
    case COLOR_CAPTIONTEXT:
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    default: return RGB(128, 128, 128);
  }
}

DWORD KindType(const GdiObject& o) {
  switch (o.kind) {
    case GdiKind::Dc: return o.memory ? OBJ_MEMDC : OBJ_DC;
    case GdiKind::Brush: return OBJ_BRUSH;
    case GdiKind::Pen: return OBJ_PEN;
    case GdiKind::Font: return OBJ_FONT;
    case GdiKind::Palette: return OBJ_PAL;
    case GdiKind::Bitmap: return OBJ_BITMAP;
    case GdiKind::Region: return OBJ_REGION;
  }
  return 0;
}

bool InUseByDc(const void* handle) {
  for (auto& [h, o] : g_objects)
    if (o.kind == GdiKind::Dc && (o.bitmap == handle || o.palette == handle)) return true;
  return false;
}

HDC NewDc(HWND window, bool memory, bool paint) {
  GdiObject dc;
  dc.kind = GdiKind::Dc;
  dc.window = window;
  dc.memory = memory;
  dc.paint = paint;
  return reinterpret_cast<HDC>(AddGdiObject(std::move(dc)));
}

// Distance of an offered format from the request: lower is nearer.
// Missing capabilities weigh far more than surplus ones.
long long FormatDistance(const PIXELFORMATDESCRIPTOR& want, const PIXELFORMATDESCRIPTOR& have) {
  long long d = 0;
  auto flag = [&](DWORD bit, DWORD dontCare, long long weight) {
    if (dontCare && (want.dwFlags & dontCare)) return;
    if (((want.dwFlags & bit) != 0) != ((have.dwFlags & bit) != 0)) d += weight;
  };
  auto required = [&](DWORD bit) {
    if ((want.dwFlags & bit) && !(have.dwFlags & bit)) d += 1'000'000'000;
  };
  required(PFD_DRAW_TO_WINDOW);
  required(PFD_SUPPORT_OPENGL);
  required(PFD_DRAW_TO_BITMAP);
  if (want.iPixelType != have.iPixelType) d += 100'000'000;
  flag(PFD_DOUBLEBUFFER, PFD_DOUBLEBUFFER_DONTCARE, 10'000'000);
  flag(PFD_STEREO, PFD_STEREO_DONTCARE, 1'000'000);
  auto count = [&](int w, int h, long long shortWeight) {
    if (h < w) d += (w - h) * shortWeight;
    else d += (h - w);
  };
  d += std::abs(want.cColorBits - have.cColorBits) * 1000LL;  // colour depth should match either way
  count(want.cAlphaBits, have.cAlphaBits, 100);
  if (!(want.dwFlags & PFD_DEPTH_DONTCARE)) count(want.cDepthBits, have.cDepthBits, 100);
  count(want.cStencilBits, have.cStencilBits, 10);
  count(want.cAccumBits, have.cAccumBits, 1);
  count(want.cAuxBuffers, have.cAuxBuffers, 1);
  return d;
}

}  // namespace

// The 1x1 monochrome bitmap a memory DC starts with.
HGDIOBJ DefaultBitmap() {
  constexpr int kKey = 1000;
  auto it = g_stock.find(kKey);
  if (it != g_stock.end()) return it->second;
  GdiObject o;
  o.kind = GdiKind::Bitmap;
  o.stock = true;
  o.width = o.height = 1;
  o.bitCount = 1;
  o.stride = 4;
  o.bits.assign(4, 0);
  o.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(AddGdiObject(std::move(o)));
  g_stock[kKey] = h;
  return h;
}

std::uintptr_t AddGdiObject(GdiObject object) {
  const std::uintptr_t h = NewHandleValue();
  g_objects.emplace(h, std::move(object));
  return h;
}

GdiObject* LookupGdi(const void* handle) {
  auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == g_objects.end() ? nullptr : &it->second;
}

GdiObject* LookupGdi(const void* handle, GdiKind kind) {
  GdiObject* o = LookupGdi(handle);
  return (o && o->kind == kind) ? o : nullptr;
}

void RemoveGdi(const void* handle) { g_objects.erase(reinterpret_cast<std::uintptr_t>(handle)); }

void ForgetWindowDcs(HWND hwnd) {
  std::erase_if(g_objects, [hwnd](const auto& e) { return e.second.kind == GdiKind::Dc && e.second.window == hwnd; });
}

bool DeleteRegionObject(HGDIOBJ object) {
  if (!LookupGdi(object, GdiKind::Region)) return false;
  RemoveGdi(object);
  return true;
}

void ResetGdi() {
  g_objects.clear();
  g_stock.clear();
  g_sysBrushes.clear();
}

}  // namespace layer

using namespace layer;

HDC GetDC(HWND hwnd) {
  if (hwnd && !LookupWindow(hwnd)) return nullptr;
  return NewDc(hwnd, false, false);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc || dc->memory || dc->window != hwnd) return 0;
  RemoveGdi(hdc);
  return 1;
}

HWND WindowFromDC(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  return dc ? dc->window : nullptr;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  WindowRecord* w = LookupWindow(hwnd);
  if (!w || !paint) return nullptr;
  *paint = PAINTSTRUCT{};
  paint->hdc = NewDc(hwnd, false, true);
  paint->fErase = w->invalid ? TRUE : FALSE;
  paint->rcPaint = RECT{0, 0, ClientWidth(*w), ClientHeight(*w)};
  w->invalid = false;
  return paint->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  GdiObject* dc = LookupGdi(paint->hdc, GdiKind::Dc);
  if (dc && dc->paint && dc->window == hwnd) RemoveGdi(paint->hdc);
  return TRUE;
}

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !LookupGdi(hdc, GdiKind::Dc)) return nullptr;
  return NewDc(nullptr, true, false);
}

BOOL DeleteDC(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc) return FALSE;
  RemoveGdi(hdc);
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  if (index < WHITE_BRUSH || index > DEFAULT_GUI_FONT || index == 9) return nullptr;
  auto it = g_stock.find(index);
  if (it != g_stock.end()) return it->second;
  GdiObject o;
  o.stock = true;
  switch (index) {
    case WHITE_BRUSH: o.color = RGB(255, 255, 255); break;
    case LTGRAY_BRUSH: o.color = RGB(192, 192, 192); break;
    case GRAY_BRUSH: o.color = RGB(128, 128, 128); break;
    case DKGRAY_BRUSH: o.color = RGB(64, 64, 64); break;
    case BLACK_BRUSH: o.color = RGB(0, 0, 0); break;
    case NULL_BRUSH: o.hollow = true; break;
    case WHITE_PEN: o.kind = GdiKind::Pen; o.color = RGB(255, 255, 255); break;
    case BLACK_PEN: o.kind = GdiKind::Pen; break;
    case NULL_PEN: o.kind = GdiKind::Pen; o.hollow = true; break;
    case DEFAULT_PALETTE: {
      o.kind = GdiKind::Palette;
      // The 20 static colours of a default palette.
      static constexpr BYTE kStatic[20][3] = {
          {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
          {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
          {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
          {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
      for (auto& c : kStatic) o.entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
      break;
    }
    default: o.kind = GdiKind::Font; break;
  }
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(AddGdiObject(std::move(o)));
  g_stock[index] = h;
  return h;
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index > 30) return nullptr;
  auto it = g_sysBrushes.find(index);
  if (it != g_sysBrushes.end()) return it->second;
  GdiObject o;
  o.stock = true;
  o.color = SysColor(index);
  HBRUSH h = reinterpret_cast<HBRUSH>(AddGdiObject(std::move(o)));
  g_sysBrushes[index] = h;
  return h;
}

DWORD GetSysColor(int index) { return SysColor(index); }

HBRUSH CreateSolidBrush(COLORREF color) {
  GdiObject o;
  o.color = color & 0xFFFFFF;
  return reinterpret_cast<HBRUSH>(AddGdiObject(std::move(o)));
}

BOOL DeleteObject(HGDIOBJ object) {
  GdiObject* o = LookupGdi(object);
  if (!o || o->kind == GdiKind::Dc) return FALSE;
  if (o->stock) return TRUE;
  if (InUseByDc(object)) return FALSE;  // still selected into a device context
  for (WindowRecord* w : AllWindows())
    if (w->region == object) return FALSE;  // owned by a window
  RemoveGdi(object);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  GdiObject* o = LookupGdi(object);
  if (!dc || !o) return nullptr;
  HGDIOBJ old = nullptr;
  switch (o->kind) {
    case GdiKind::Bitmap:
      if (!dc->memory) return nullptr;
      // A bitmap can be selected into one memory DC at a time.
      if (!o->stock)
        for (auto& [h, other] : g_objects)
          if (other.kind == GdiKind::Dc && &other != dc && other.bitmap == object) return nullptr;
      old = dc->bitmap ? dc->bitmap : DefaultBitmap();
      dc->bitmap = object;
      return old;
    case GdiKind::Brush:
      old = dc->brush;
      dc->brush = object;
      return old ? old : GetStockObject(WHITE_BRUSH);
    case GdiKind::Pen:
      old = dc->pen;
      dc->pen = object;
      return old ? old : GetStockObject(BLACK_PEN);
    case GdiKind::Font:
      old = dc->font;
      dc->font = object;
      return old ? old : GetStockObject(SYSTEM_FONT);
    case GdiKind::Region:
      return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(SIMPLEREGION));
    default:
      return nullptr;
  }
}

DWORD GetObjectType(HGDIOBJ object) {
  GdiObject* o = LookupGdi(object);
  return o ? KindType(*o) : 0;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out) {
  GdiObject* o = LookupGdi(object);
  if (!o || size < 0) return 0;
  auto copy = [&](const void* src, int n) {
    if (!out) return n;
    const int m = std::min(n, size);
    std::memcpy(out, src, static_cast<std::size_t>(m));
    return m;
  };
  switch (o->kind) {
    case GdiKind::Bitmap: {
      DIBSECTION ds;
      ds.dsBm.bmType = 0;
      ds.dsBm.bmWidth = o->width;
      ds.dsBm.bmHeight = o->height;
      ds.dsBm.bmWidthBytes = o->stride;
      ds.dsBm.bmPlanes = 1;
      ds.dsBm.bmBitsPixel = o->bitCount;
      ds.dsBm.bmBits = o->dibSection && !o->bits.empty() ? o->bits.data() : nullptr;
      if (o->dibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = o->width;
        ds.dsBmih.biHeight = o->topDown ? -o->height : o->height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = o->bitCount;
        ds.dsBmih.biCompression = o->redMask ? BI_BITFIELDS : BI_RGB;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(o->bits.size());
        ds.dsBmih.biClrUsed = static_cast<DWORD>(o->colors.size());
        ds.dsBitfields[0] = o->redMask;
        ds.dsBitfields[1] = o->greenMask;
        ds.dsBitfields[2] = o->blueMask;
        return copy(&ds, sizeof(DIBSECTION));
      }
      return copy(&ds.dsBm, sizeof(BITMAP));
    }
    case GdiKind::Palette: {
      const WORD n = static_cast<WORD>(o->entries.size());
      return copy(&n, sizeof(WORD));
    }
    default:
      return 0;
  }
}

int ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* request) {
  if (!LookupGdi(hdc, GdiKind::Dc) || !request) return 0;
  const auto formats = Backend().pixelFormats();
  int best = 0;
  long long bestDistance = 0;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    const long long d = FormatDistance(*request, formats[i]);
    if (best == 0 || d < bestDistance) {
      best = static_cast<int>(i + 1);
      bestDistance = d;
    }
  }
  return best;
}

int DescribePixelFormat(HDC hdc, int format, UINT size, PIXELFORMATDESCRIPTOR* out) {
  if (!LookupGdi(hdc, GdiKind::Dc)) return 0;
  const auto formats = Backend().pixelFormats();
  if (out && format >= 1 && format <= static_cast<int>(formats.size())) {
    std::memcpy(out, &formats[static_cast<std::size_t>(format - 1)],
                std::min<std::size_t>(size, sizeof(PIXELFORMATDESCRIPTOR)));
  } else if (out) {
    return 0;
  }
  return static_cast<int>(formats.size());
}

BOOL SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* request) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  if (!dc) return FALSE;
  WindowRecord* w = LookupWindow(dc->window);
  if (!w) return FALSE;
  const int count = static_cast<int>(Backend().pixelFormats().size());
  if (format < 1 || format > count) return FALSE;
  if (w->pixelFormat != 0) return w->pixelFormat == format ? TRUE : FALSE;  // set once per window
  w->pixelFormat = format;
  w->pixelRequest = request ? *request : Backend().pixelFormats()[static_cast<std::size_t>(format - 1)];
  return TRUE;
}

int GetPixelFormat(HDC hdc) {
  GdiObject* dc = LookupGdi(hdc, GdiKind::Dc);
  WindowRecord* w = dc ? LookupWindow(dc->window) : nullptr;
  return w ? w->pixelFormat : 0;
}
