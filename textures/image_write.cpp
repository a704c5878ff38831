// Image writers: BMP, TGA and PNG encoders over RGBA images.
#include "textures/image_write.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void CheckShape(const RgbaImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
    throw std::invalid_argument("image size does not match its pixels");
  }
}

// Row `i` of the file, counted from the file's first row, as a picture row.
int PictureRow(const RgbaImage& image, int i, bool topFirst) { return topFirst ? i : image.height - 1 - i; }

// Appends one pixel as B, G, R (, A).
void PutBGR(std::vector<std::uint8_t>& b, const std::uint8_t* p, int bytes) {
  b.push_back(p[2]);
  b.push_back(p[1]);
  b.push_back(p[0]);
  if (bytes == 4) b.push_back(p[3]);
}

}  // namespace

std::vector<std::uint8_t> EncodeBMP(const RgbaImage& image, const BmpOptions& options) {
  CheckShape(image);
  if (options.bitCount != 24 && options.bitCount != 32) throw std::invalid_argument("BMP depth must be 24 or 32");
  const int bytes = options.bitCount / 8;
  const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * bytes + 3) / 4 * 4;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(image.height);
  std::vector<std::uint8_t> b;
  b.reserve(54 + imageSize);
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + imageSize);  // file size
  Put32(b, 0);               // reserved
  Put32(b, 54);              // pixel data offset
  Put32(b, 40);              // info header
  Put32(b, static_cast<std::uint32_t>(image.width));
  Put32(b, static_cast<std::uint32_t>(options.topDown ? -image.height : image.height));
  Put16(b, 1);  // planes
  Put16(b, static_cast<std::uint32_t>(options.bitCount));
  Put32(b, 0);  // BI_RGB
  Put32(b, imageSize);
  Put32(b, 2835);  // 72 dpi
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int i = 0; i < image.height; ++i) {
    const int y = PictureRow(image, i, options.topDown);
    const std::size_t start = b.size();
    for (int x = 0; x < image.width; ++x) PutBGR(b, image.At(x, y), bytes);
    b.resize(start + stride, 0);
  }
  return b;
}

std::vector<std::uint8_t> EncodeTGA(const RgbaImage& image, const TgaOptions& options) {
  CheckShape(image);
  if (options.bitCount != 24 && options.bitCount != 32) throw std::invalid_argument("TGA depth must be 24 or 32");
  if (image.width > 0xFFFF || image.height > 0xFFFF) throw std::invalid_argument("TGA sides are 16-bit");
  const int bytes = options.bitCount / 8;
  std::vector<std::uint8_t> b = {0, 0, static_cast<std::uint8_t>(options.rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(b, static_cast<std::uint32_t>(image.width));
  Put16(b, static_cast<std::uint32_t>(image.height));
  b.push_back(static_cast<std::uint8_t>(options.bitCount));
  b.push_back(static_cast<std::uint8_t>((options.bitCount == 32 ? 8 : 0) | (options.topLeft ? 0x20 : 0)));

  // Pixels in file order, as B, G, R (, A) groups.
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(image.width) * image.height * bytes);
  for (int i = 0; i < image.height; ++i) {
    const int y = PictureRow(image, i, options.topLeft);
    for (int x = 0; x < image.width; ++x) PutBGR(pixels, image.At(x, y), bytes);
  }
  if (!options.rle) {
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
  }

  // Run-length packets of at most 128 pixels; runs of two or more identical
  // pixels become run packets, everything else raw packets. Packets cross
  // row ends, which readers of type 10 accept.
  const std::size_t count = pixels.size() / bytes;
  auto same = [&](std::size_t a, std::size_t c) {
    return std::equal(pixels.begin() + a * bytes, pixels.begin() + (a + 1) * bytes, pixels.begin() + c * bytes);
  };
  std::size_t k = 0;
  while (k < count) {
    std::size_t run = 1;
    while (k + run < count && run < 128 && same(k, k + run)) ++run;
    if (run >= 2) {
      b.push_back(static_cast<std::uint8_t>(127 + run));
      b.insert(b.end(), pixels.begin() + k * bytes, pixels.begin() + (k + 1) * bytes);
      k += run;
      continue;
    }
    std::size_t raw = 1;
    while (k + raw < count && raw < 128 && !(k + raw + 1 < count && same(k + raw, k + raw + 1))) ++raw;
    b.push_back(static_cast<std::uint8_t>(raw - 1));
    b.insert(b.end(), pixels.begin() + k * bytes, pixels.begin() + (k + raw) * bytes);
    k += raw;
  }
  return b;
}

std::vector<std::uint8_t> EncodePNG(const RgbaImage& image) {
  CheckShape(image);
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) throw std::runtime_error("libpng: no write struct");
  png_infop info = png_create_info_struct(png);
  struct Guard {
    png_structp* png;
    png_infop* info;
    ~Guard() { png_destroy_write_struct(png, info); }
  } guard{&png, &info};
  if (info == nullptr) throw std::runtime_error("libpng: no info struct");
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.At(0, y));
  // libpng reports errors by longjmp; the jump lands here before any C++
  // object with a destructor is created below it.
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng: encoding failed");
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* sink = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        sink->insert(sink->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  return out;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}
