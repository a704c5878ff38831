#include "export/png_fast.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace {

bool Opaque(const RgbaImage& image) {
  for (std::size_t i = 3; i < image.rgba.size(); i += 4) {
    if (image.rgba[i] != 255) return false;
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePNGFast(const RgbaImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4) {
    throw std::invalid_argument("EncodePNGFast: image size and pixel count disagree");
  }
  const bool opaque = Opaque(image);
  const std::size_t channels = opaque ? 3 : 4;
  std::vector<std::uint8_t> packed;
  if (opaque) {
    packed.reserve(image.rgba.size() / 4 * 3);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
      packed.insert(packed.end(), &image.rgba[i], &image.rgba[i] + 3);
    }
  }
  const std::uint8_t* pixels = opaque ? packed.data() : image.rgba.data();
  const std::size_t stride = static_cast<std::size_t>(image.width) * channels;

  std::vector<std::uint8_t> out;
  out.reserve(image.rgba.size() / 2);
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
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(pixels + y * stride);
  // libpng reports errors by longjmp; no object with a destructor is made
  // after this point.
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng: encoding failed");
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* sink = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        sink->insert(sink->end(), data, data + n);
      },
      nullptr);
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  return out;
}
