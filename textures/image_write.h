// Image writers shared by the texture generator, the tests' fixtures and the
// picture tools: BMP (24/32-bit, bottom-up or top-down), TGA (uncompressed or
// run-length encoded, 24/32-bit, bottom-left or top-left origin) and PNG.
// Images are held as RGBA bytes, rows from the top of the picture down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}
  std::uint8_t* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
  const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

struct BmpOptions {
  int bitCount = 24;     // 24 (B, G, R) or 32 (B, G, R, A)
  bool topDown = false;  // rows stored top to bottom (negative height)
};

struct TgaOptions {
  int bitCount = 32;     // 24 or 32
  bool rle = false;      // image type 10 instead of 2
  bool topLeft = false;  // origin bit 5 of the descriptor: rows stored top to bottom
};

std::vector<std::uint8_t> EncodeBMP(const RgbaImage& image, const BmpOptions& options = {});
std::vector<std::uint8_t> EncodeTGA(const RgbaImage& image, const TgaOptions& options = {});
std::vector<std::uint8_t> EncodePNG(const RgbaImage& image);  // 8-bit RGBA

// Writes bytes to a file; false when the file cannot be written.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
