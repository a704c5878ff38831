// Test support: writes small BMP files (24-bit or 8-bit with a colour
// table, rows bottom-up) from a pixel function, and a scratch directory
// that is removed with its files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

struct Rgb8 {
  std::uint8_t r = 0, g = 0, b = 0;
};

namespace bmpfile_detail {
inline void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
inline void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
inline void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}
inline std::vector<std::uint8_t> Headers(int w, int h, int bits, std::uint32_t colors, std::uint32_t imageSize) {
  std::vector<std::uint8_t> v;
  const std::uint32_t offset = 14 + 40 + 4 * colors;
  v.push_back('B');
  v.push_back('M');
  Put32(v, offset + imageSize);
  Put32(v, 0);
  Put32(v, offset);
  Put32(v, 40);
  Put32(v, static_cast<std::uint32_t>(w));
  Put32(v, static_cast<std::uint32_t>(h));
  Put16(v, 1);
  Put16(v, static_cast<std::uint32_t>(bits));
  Put32(v, 0);
  Put32(v, imageSize);
  Put32(v, 2835);
  Put32(v, 2835);
  Put32(v, colors);
  Put32(v, 0);
  return v;
}
}  // namespace bmpfile_detail

// (x, y) with y = 0 the top row of the image.
inline void WriteBmp24(const std::string& path, int w, int h, const std::function<Rgb8(int, int)>& pixel) {
  using namespace bmpfile_detail;
  const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  std::vector<std::uint8_t> v = Headers(w, h, 24, 0, stride * static_cast<std::uint32_t>(h));
  for (int y = h - 1; y >= 0; --y) {
    std::size_t start = v.size();
    for (int x = 0; x < w; ++x) {
      const Rgb8 c = pixel(x, y);
      v.push_back(c.b);
      v.push_back(c.g);
      v.push_back(c.r);
    }
    while (v.size() - start < stride) v.push_back(0);
  }
  Write(path, v);
}

inline void WriteBmp8(const std::string& path, int w, int h, const std::vector<Rgb8>& palette,
                      const std::function<std::uint8_t(int, int)>& index) {
  using namespace bmpfile_detail;
  const std::uint32_t stride = (static_cast<std::uint32_t>(w) + 3) & ~3u;
  std::vector<std::uint8_t> v =
      Headers(w, h, 8, static_cast<std::uint32_t>(palette.size()), stride * static_cast<std::uint32_t>(h));
  for (const Rgb8& c : palette) {
    v.push_back(c.b);
    v.push_back(c.g);
    v.push_back(c.r);
    v.push_back(0);
  }
  for (int y = h - 1; y >= 0; --y) {
    std::size_t start = v.size();
    for (int x = 0; x < w; ++x) v.push_back(index(x, y));
    while (v.size() - start < stride) v.push_back(0);
  }
  Write(path, v);
}

// A fresh directory under the build tree, removed at the end of the test.
// The process id keeps tests that run in parallel apart.
struct ScratchDir {
  std::filesystem::path path;
  explicit ScratchDir(const std::string& name)
      : path(std::filesystem::path(GARDEN_BINARY_DIR) / "test_scratch" / (name + "_" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};
