#include "export/numbers.h"

#include <charconv>
#include <cmath>

bool ParseInt32(const std::string& text, std::int32_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  if (first != last && *first == '-' && first != text.data()) return false;
  std::int32_t v = 0;
  const auto r = std::from_chars(first, last, v);
  if (first == last || r.ec != std::errc() || r.ptr != last) return false;
  value = v;
  return true;
}

bool ParseFloat(const std::string& text, float& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  if (first != last && *first == '-' && first != text.data()) return false;
  float v = 0;
  const auto r = std::from_chars(first, last, v);
  if (first == last || r.ec != std::errc() || r.ptr != last || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  std::int32_t w = 0, h = 0;
  if (!ParseInt32(text.substr(0, x), w) || !ParseInt32(text.substr(x + 1), h)) return false;
  if (w < 1 || h < 1 || w > 8192 || h > 8192) return false;
  width = w;
  height = h;
  return true;
}
