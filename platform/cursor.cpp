// Cursors and icons: the system kinds by their resource numbers (shared
// handles, as on the desktop) and cursors or icons read from .cur/.ico
// files, checked entry by entry against the file's size.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "platform/layer.h"

namespace layer {
namespace {

struct CursorRecord {
  int systemId = 0;  // non-zero for a system cursor or icon (shared)
  bool icon = false;
  int width = 0, height = 0;
  int hotX = 0, hotY = 0;
  std::vector<std::uint8_t> image;  // the chosen entry's image data (DIB or PNG)
};

std::map<std::uintptr_t, CursorRecord> g_cursors;
std::map<int, HCURSOR> g_shared;  // system id (+0x10000 for icons) -> handle
HCURSOR g_current = nullptr;
int g_showCount = 0;

bool KnownCursor(int id) {
  return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32646) || (id >= 32648 && id <= 32651);
}
bool KnownIcon(int id) { return id >= 32512 && id <= 32517; }

HCURSOR Shared(int id, bool icon) {
  const int key = id + (icon ? 0x10000 : 0);
  auto it = g_shared.find(key);
  if (it != g_shared.end()) return it->second;
  CursorRecord rec;
  rec.systemId = id;
  rec.icon = icon;
  rec.width = rec.height = 32;
  const std::uintptr_t h = NewHandleValue();
  g_cursors.emplace(h, std::move(rec));
  g_shared[key] = reinterpret_cast<HCURSOR>(h);
  return reinterpret_cast<HCURSOR>(h);
}

std::uint16_t Le16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}
std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | (static_cast<std::uint32_t>(d[at + 1]) << 8) |
         (static_cast<std::uint32_t>(d[at + 2]) << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

}  // namespace

// Parses an icon or cursor file's directory and keeps its first image.
bool ParseCursorFile(const std::vector<std::uint8_t>& d, CursorRecord& out) {
  if (d.size() < 6) return false;
  const std::uint16_t reserved = Le16(d, 0), type = Le16(d, 2), count = Le16(d, 4);
  if (reserved != 0 || (type != 1 && type != 2) || count == 0) return false;
  if (6 + 16ull * count > d.size()) return false;
  const std::size_t e = 6;  // first entry
  const std::uint32_t bytes = Le32(d, e + 8), offset = Le32(d, e + 12);
  if (bytes < 8 || static_cast<std::uint64_t>(offset) + bytes > d.size()) return false;
  static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const bool png = std::equal(std::begin(kPng), std::end(kPng), d.begin() + offset);
  if (!png && (bytes < 40 || Le32(d, offset) < 40)) return false;  // needs a bitmap info header
  out.icon = type == 1;
  out.width = d[e] ? d[e] : 256;
  out.height = d[e + 1] ? d[e + 1] : 256;
  out.hotX = type == 2 ? Le16(d, e + 4) : out.width / 2;
  out.hotY = type == 2 ? Le16(d, e + 6) : out.height / 2;
  out.image.assign(d.begin() + offset, d.begin() + offset + bytes);
  return true;
}

void ResetCursors() {
  g_cursors.clear();
  g_shared.clear();
  g_current = nullptr;
  g_showCount = 0;
}

}  // namespace layer

using namespace layer;

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  // The program carries no cursor resources: only system cursors load.
  if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
  const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
  return KnownCursor(id) ? Shared(id, false) : nullptr;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
  const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
  return KnownIcon(id) ? Shared(id, true) : nullptr;
}

HCURSOR LoadCursorFromFileA(LPCSTR fileName) {
  if (!fileName || IS_INTRESOURCE(fileName) || !*fileName) return nullptr;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return nullptr;
  std::vector<std::uint8_t> data;
  constexpr std::size_t kMaxFile = 4u << 20;  // cursor files are small; refuse anything huge
  char buf[4096];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    data.insert(data.end(), buf, buf + in.gcount());
    if (data.size() > kMaxFile) return nullptr;
  }
  CursorRecord rec;
  if (!ParseCursorFile(data, rec)) return nullptr;
  const std::uintptr_t h = NewHandleValue();
  g_cursors.emplace(h, std::move(rec));
  return reinterpret_cast<HCURSOR>(h);
}

BOOL DestroyCursor(HCURSOR cursor) {
  auto it = g_cursors.find(reinterpret_cast<std::uintptr_t>(cursor));
  if (it == g_cursors.end()) return FALSE;
  if (it->second.systemId) return TRUE;  // shared system cursors stay
  if (g_current == cursor) g_current = nullptr;
  g_cursors.erase(it);
  return TRUE;
}

BOOL DestroyIcon(HICON icon) { return DestroyCursor(icon); }

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = g_current;
  g_current = g_cursors.count(reinterpret_cast<std::uintptr_t>(cursor)) ? cursor : nullptr;
  return old;
}

int ShowCursor(BOOL show) {
  g_showCount += show ? 1 : -1;
  return g_showCount;
}
