// Message boxes and the Windows-1252 to UTF-8 conversion of their texts.
#include <cstdint>

#include "platform/layer.h"
#include "platform/text.h"

namespace {

// Code points of 0x80..0x9F in Windows-1252; 0 marks the undefined bytes.
constexpr std::uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    std::uint32_t cp = b;
    if (b >= 0x80 && b < 0xA0) cp = kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  // A null caption reads "Error", as on the desktop the API comes from.
  MessageBoxRequest box;
  box.owner = layer::LookupWindow(owner);
  box.text = text ? text : "";
  box.caption = caption ? caption : "Error";
  box.textUtf8 = Cp1252ToUtf8(box.text);
  box.captionUtf8 = Cp1252ToUtf8(box.caption);
  box.type = type;
  return layer::Backend().messageBox(box);
}
