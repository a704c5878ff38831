#include "platform/gdi_objects.h"

#include <cstdint>
#include <cstring>
#include <map>

namespace {

struct Table {
  std::map<std::uintptr_t, GdiObject> objects;
  std::uintptr_t next = 0;
  HBITMAP stockBitmap = nullptr;
  HPALETTE defaultPalette = nullptr;
  std::vector<DWORD> regionLog;
};

constexpr std::uintptr_t kHandleTag = 0x67000000;  // handle = tag + 16 * n, n >= 1

HGDIOBJ Add(Table& t, GdiObject object) {
  const std::uintptr_t key = kHandleTag + 16 * ++t.next;
  t.objects.emplace(key, std::move(object));
  return reinterpret_cast<HGDIOBJ>(key);
}

void MakeStock(Table& t) {
  // A new memory DC holds a 1x1 monochrome bitmap until one is selected.
  GdiBitmap mono;
  mono.dib.width = mono.dib.height = 1;
  mono.dib.bitCount = 1;
  mono.dib.stride = 4;
  mono.dib.bits.assign(4, 0);
  mono.dib.colors = {DibColor{0, 0, 0, 0}, DibColor{255, 255, 255, 0}};
  t.stockBitmap = static_cast<HBITMAP>(Add(t, std::move(mono)));

  // The default palette: the twenty fixed system colours.
  static constexpr BYTE kSystem[20][3] = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  GdiPalette pal;
  for (const auto& c : kSystem) pal.entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
  t.defaultPalette = static_cast<HPALETTE>(Add(t, std::move(pal)));
}

Table& T() {
  static Table table = [] {
    Table t;
    MakeStock(t);
    return t;
  }();
  return table;
}

GdiObject* Find(HGDIOBJ handle) {
  auto it = T().objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == T().objects.end() ? nullptr : &it->second;
}

bool IsStock(HGDIOBJ h) { return h == T().stockBitmap || h == T().defaultPalette; }

// Fills a BITMAP record for a bitmap as GetObjectA reports it.
BITMAP Describe(const GdiBitmap& b) {
  BITMAP bm;
  bm.bmType = 0;
  bm.bmWidth = b.dib.width;
  bm.bmHeight = b.dib.height;
  bm.bmWidthBytes = static_cast<LONG>(b.dib.stride);
  bm.bmPlanes = 1;
  bm.bmBitsPixel = b.dib.bitCount;
  // Only DIB sections expose their pixels.
  bm.bmBits = b.dibSection ? const_cast<std::uint8_t*>(b.dib.bits.data()) : nullptr;
  return bm;
}

DIBSECTION DescribeSection(const GdiBitmap& b) {
  DIBSECTION ds;
  ds.dsBm = Describe(b);
  ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
  ds.dsBmih.biWidth = b.dib.width;
  ds.dsBmih.biHeight = b.dib.topDown ? -b.dib.height : b.dib.height;
  ds.dsBmih.biPlanes = 1;
  ds.dsBmih.biBitCount = b.dib.bitCount;
  const bool fields = b.dib.bitCount == 16 || b.dib.bitCount == 32;
  ds.dsBmih.biCompression = fields && b.dib.redMask != 0x00FF0000 && b.dib.redMask != 0x7C00 ? BI_BITFIELDS : BI_RGB;
  ds.dsBmih.biSizeImage = static_cast<DWORD>(b.dib.bits.size());
  ds.dsBmih.biClrUsed = static_cast<DWORD>(b.dib.colors.size());
  if (fields) {
    ds.dsBitfields[0] = b.dib.redMask;
    ds.dsBitfields[1] = b.dib.greenMask;
    ds.dsBitfields[2] = b.dib.blueMask;
  }
  return ds;
}

}  // namespace

GdiBitmap* GdiFindBitmap(HGDIOBJ handle) {
  GdiObject* o = Find(handle);
  return o ? std::get_if<GdiBitmap>(o) : nullptr;
}
GdiPalette* GdiFindPalette(HGDIOBJ handle) {
  GdiObject* o = Find(handle);
  return o ? std::get_if<GdiPalette>(o) : nullptr;
}
GdiRegion* GdiFindRegion(HGDIOBJ handle) {
  GdiObject* o = Find(handle);
  return o ? std::get_if<GdiRegion>(o) : nullptr;
}
GdiDC* GdiFindDC(HDC handle) {
  GdiObject* o = Find(handle);
  return o ? std::get_if<GdiDC>(o) : nullptr;
}

HBITMAP GdiAddBitmap(GdiBitmap bitmap) { return static_cast<HBITMAP>(Add(T(), std::move(bitmap))); }
HPALETTE GdiAddPalette(GdiPalette palette) { return static_cast<HPALETTE>(Add(T(), std::move(palette))); }
HRGN GdiAddRegion(Region region) { return static_cast<HRGN>(Add(T(), GdiRegion{std::move(region)})); }

HDC GdiAddSurfaceDC(HWND window, DecodedDib* surface) {
  GdiDC dc;
  dc.surface = surface;
  dc.window = window;
  dc.palette = T().defaultPalette;
  return static_cast<HDC>(Add(T(), dc));
}

void GdiRemoveSurfaceDC(HDC dc) {
  GdiDC* d = GdiFindDC(dc);
  if (!d || !d->surface) return;
  if (GdiPalette* p = GdiFindPalette(d->palette)) --p->selections;
  T().objects.erase(reinterpret_cast<std::uintptr_t>(dc));
}

std::optional<Region> GdiTakeRegion(HRGN handle) {
  GdiRegion* r = GdiFindRegion(handle);
  if (!r) return std::nullopt;
  Region out = std::move(r->region);
  T().objects.erase(reinterpret_cast<std::uintptr_t>(handle));
  return out;
}

DecodedDib* GdiTarget(HDC dc) {
  GdiDC* d = GdiFindDC(dc);
  if (!d) return nullptr;
  if (d->surface) return d->surface;
  GdiBitmap* b = GdiFindBitmap(d->bitmap);
  return b ? &b->dib : nullptr;
}

HBITMAP GdiStockBitmap() { return T().stockBitmap; }
HPALETTE GdiDefaultPalette() { return T().defaultPalette; }

HDC CreateCompatibleDC(HDC) {
  GdiDC dc;
  dc.bitmap = T().stockBitmap;
  dc.palette = T().defaultPalette;
  return static_cast<HDC>(Add(T(), dc));
}

BOOL DeleteDC(HDC hdc) {
  GdiDC* d = GdiFindDC(hdc);
  if (!d || d->surface) return FALSE;  // window DCs are released with ReleaseDC/EndPaint
  if (GdiBitmap* b = GdiFindBitmap(d->bitmap)) b->selectedInto = nullptr;
  if (GdiPalette* p = GdiFindPalette(d->palette)) --p->selections;
  T().objects.erase(reinterpret_cast<std::uintptr_t>(hdc));
  return TRUE;
}

std::optional<BOOL> GdiTableDeleteObject(HGDIOBJ object) {
  GdiObject* o = Find(object);
  if (!o) return std::nullopt;
  if (std::holds_alternative<GdiDC>(*o)) return FALSE;  // DCs go through DeleteDC
  if (IsStock(object)) return TRUE;                      // deleting a stock object does nothing
  if (auto* b = std::get_if<GdiBitmap>(o); b && b->selectedInto) return FALSE;
  if (auto* p = std::get_if<GdiPalette>(o); p && p->selections > 0) return FALSE;
  T().objects.erase(reinterpret_cast<std::uintptr_t>(object));
  return TRUE;
}

std::optional<HGDIOBJ> GdiTableSelectObject(HDC dc, HGDIOBJ object) {
  GdiDC* d = GdiFindDC(dc);
  GdiObject* o = Find(object);
  if (!d || !o) return std::nullopt;
  if (auto* b = std::get_if<GdiBitmap>(o)) {
    if (d->surface) return nullptr;  // only memory DCs take bitmaps
    if (b->selectedInto == dc) return HGDIOBJ(object);
    if (b->selectedInto && object != T().stockBitmap) return nullptr;  // held by another DC
    HGDIOBJ previous = d->bitmap;
    if (GdiBitmap* old = GdiFindBitmap(previous); old && previous != T().stockBitmap) old->selectedInto = nullptr;
    if (object != T().stockBitmap) b->selectedInto = dc;
    d->bitmap = static_cast<HBITMAP>(object);
    return previous;
  }
  if (std::holds_alternative<GdiRegion>(*o)) return reinterpret_cast<HGDIOBJ>(std::uintptr_t{SIMPLEREGION});
  return nullptr;  // palettes go through SelectPalette
}

std::optional<int> GdiTableGetObject(HGDIOBJ object, int size, LPVOID out) {
  GdiObject* o = Find(object);
  if (!o) return std::nullopt;
  if (auto* b = std::get_if<GdiBitmap>(o)) {
    if (!out) return static_cast<int>(b->dibSection ? sizeof(DIBSECTION) : sizeof(BITMAP));
    if (b->dibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
      const DIBSECTION ds = DescribeSection(*b);
      std::memcpy(out, &ds, sizeof ds);
      return static_cast<int>(sizeof ds);
    }
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    const BITMAP bm = Describe(*b);
    std::memcpy(out, &bm, sizeof bm);
    return static_cast<int>(sizeof bm);
  }
  if (auto* p = std::get_if<GdiPalette>(o)) {
    if (!out) return static_cast<int>(sizeof(WORD));
    if (size < static_cast<int>(sizeof(WORD))) return 0;
    const WORD n = static_cast<WORD>(p->entries.size());
    std::memcpy(out, &n, sizeof n);
    return static_cast<int>(sizeof n);
  }
  return 0;
}

DWORD GdiTableObjectType(HGDIOBJ object) {
  GdiObject* o = Find(object);
  if (!o) return 0;
  if (std::holds_alternative<GdiBitmap>(*o)) return OBJ_BITMAP;
  if (std::holds_alternative<GdiPalette>(*o)) return OBJ_PAL;
  if (std::holds_alternative<GdiRegion>(*o)) return OBJ_REGION;
  return std::get<GdiDC>(*o).surface ? OBJ_DC : OBJ_MEMDC;
}

std::size_t GdiLiveObjects() { return T().objects.size() - 2; }

const std::vector<DWORD>& RegionDataLog() { return T().regionLog; }
void GdiNoteRegionData(DWORD count) { T().regionLog.push_back(count); }

void ResetGdiObjects() {
  Table& t = T();
  t.objects.clear();
  t.regionLog.clear();
  MakeStock(t);
}
