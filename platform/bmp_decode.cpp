// BMP decoding for the layer's image loader. Every header field is checked
// before it is used, every read goes through a bounds-checked cursor and every
// write into the pixel rows is clipped, so no input can make the decoder read
// or write outside its buffers; images above kMaxDibPixels are refused before
// anything is allocated.
#include "platform/bmp_decode.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace {

constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kV2Header = 52;  // info header + RGB masks
constexpr std::uint32_t kV3Header = 56;  // info header + RGBA masks
constexpr std::uint32_t kV4Header = 108;
constexpr std::uint32_t kV5Header = 124;
constexpr std::size_t kFileHeader = 14;

constexpr std::uint32_t kRGB = 0;
constexpr std::uint32_t kRLE8 = 1;
constexpr std::uint32_t kRLE4 = 2;
constexpr std::uint32_t kBitfields = 3;

std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | (static_cast<std::uint32_t>(d[at + 1]) << 8) |
         (static_cast<std::uint32_t>(d[at + 2]) << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

// A mask is usable when its set bits are one contiguous run inside the
// pixel's bit depth (an empty mask means the channel is absent).
bool MaskValid(std::uint32_t mask, std::uint16_t bitCount) {
  if (mask == 0) return true;
  if (bitCount < 32 && (mask >> bitCount) != 0) return false;
  const std::uint32_t low = mask >> __builtin_ctz(mask);
  return (low & (low + 1)) == 0;
}

// Sequential reader over the compressed pixel data.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> data) : data_(data) {}
  std::optional<std::uint8_t> Next() {
    if (pos_ >= data_.size()) return std::nullopt;
    return data_[pos_++];
  }
  bool Skip(std::size_t n) {
    if (n > data_.size() - pos_) return false;
    pos_ += n;
    return true;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

// Clipped pixel writer for the expanded run-length images. Pixels outside
// the image are dropped, as the platform's loader does.
class IndexWriter {
 public:
  explicit IndexWriter(DecodedDib& dib) : dib_(dib) {}
  void Put(std::uint8_t index) {
    if (x_ < static_cast<std::uint64_t>(dib_.width) && y_ < static_cast<std::uint64_t>(dib_.height)) {
      const std::size_t row = static_cast<std::size_t>(y_) * dib_.stride;
      if (dib_.bitCount == 8) {
        dib_.bits[row + x_] = index;
      } else {
        std::uint8_t& byte = dib_.bits[row + x_ / 2];
        if (x_ % 2 == 0) {
          byte = static_cast<std::uint8_t>((byte & 0x0F) | (index << 4));
        } else {
          byte = static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F));
        }
      }
    }
    ++x_;
  }
  void EndOfLine() {
    x_ = 0;
    ++y_;
  }
  void Delta(std::uint8_t dx, std::uint8_t dy) {
    x_ += dx;
    y_ += dy;
  }
  bool Finished() const { return y_ >= static_cast<std::uint64_t>(dib_.height); }

 private:
  DecodedDib& dib_;
  std::uint64_t x_ = 0;  // grows by at most 255 per two input bytes: never wraps
  std::uint64_t y_ = 0;
};

// Expands BI_RLE8 / BI_RLE4 data. Returns false when the stream ends inside
// a packet, or ends without its end-of-bitmap mark before the last row.
bool ExpandRLE(std::span<const std::uint8_t> data, DecodedDib& dib) {
  const bool four = dib.bitCount == 4;
  Cursor in(data);
  IndexWriter out(dib);
  for (;;) {
    const auto count = in.Next();
    if (!count) return out.Finished();
    const auto value = in.Next();
    if (!value) return false;
    if (*count > 0) {
      // Encoded run: `count` pixels; RLE4 alternates the two nibbles.
      for (int i = 0; i < *count; ++i) {
        if (four) {
          out.Put(static_cast<std::uint8_t>(i % 2 == 0 ? *value >> 4 : *value & 0x0F));
        } else {
          out.Put(*value);
        }
      }
      continue;
    }
    switch (*value) {
      case 0:
        out.EndOfLine();
        break;
      case 1:
        return true;
      case 2: {
        const auto dx = in.Next();
        const auto dy = in.Next();
        if (!dx || !dy) return false;
        out.Delta(*dx, *dy);
        break;
      }
      default: {
        // Absolute run of `value` pixels, padded to a 16-bit boundary.
        const int n = *value;
        const int bytes = four ? (n + 1) / 2 : n;
        std::uint8_t packed = 0;
        for (int i = 0; i < n; ++i) {
          if (!four) {
            const auto b = in.Next();
            if (!b) return false;
            out.Put(*b);
          } else {
            if (i % 2 == 0) {
              const auto b = in.Next();
              if (!b) return false;
              packed = *b;
              out.Put(static_cast<std::uint8_t>(packed >> 4));
            } else {
              out.Put(static_cast<std::uint8_t>(packed & 0x0F));
            }
          }
        }
        if (bytes % 2 != 0 && !in.Skip(1)) return false;
        break;
      }
    }
    // Once every row is written the rest of the stream does not matter.
    if (out.Finished()) return true;
  }
}

}  // namespace

bool DecodeBMP(std::span<const std::uint8_t> file, DecodedDib& out) {
  out = DecodedDib{};
  if (file.size() < kFileHeader + 4) return false;
  if (file[0] != 'B' || file[1] != 'M') return false;
  const std::uint32_t offBits = U32(file, 10);
  const std::uint32_t headerSize = U32(file, 14);
  if (headerSize != kCoreHeader && headerSize != kInfoHeader && headerSize != kV2Header &&
      headerSize != kV3Header && headerSize != kV4Header && headerSize != kV5Header) {
    return false;
  }
  if (file.size() < kFileHeader + headerSize) return false;
  constexpr std::size_t h = kFileHeader;

  std::int64_t width = 0, height = 0;
  std::uint16_t planes = 0, bitCount = 0;
  std::uint32_t compression = kRGB, sizeImage = 0, clrUsed = 0;
  std::size_t paletteStart = h + headerSize;
  std::size_t entrySize = 4;
  if (headerSize == kCoreHeader) {
    width = U16(file, h + 4);
    height = U16(file, h + 6);
    planes = U16(file, h + 8);
    bitCount = U16(file, h + 10);
    entrySize = 3;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
  } else {
    width = static_cast<std::int32_t>(U32(file, h + 4));
    height = static_cast<std::int32_t>(U32(file, h + 8));
    planes = U16(file, h + 12);
    bitCount = U16(file, h + 14);
    compression = U32(file, h + 16);
    sizeImage = U32(file, h + 20);
    clrUsed = U32(file, h + 32);
  }
  if (planes != 1) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    return false;
  }

  // Width must be positive; a negative height marks a top-down image.
  bool topDown = false;
  if (height < 0) {
    topDown = true;
    height = -height;
  }
  if (width <= 0 || height <= 0) return false;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxDibPixels) return false;

  // Compression must match the depth; compressed images are bottom-up only.
  switch (compression) {
    case kRGB:
      break;
    case kRLE8:
      if (bitCount != 8 || topDown) return false;
      break;
    case kRLE4:
      if (bitCount != 4 || topDown) return false;
      break;
    case kBitfields:
      if (bitCount != 16 && bitCount != 32) return false;
      break;
    default:
      return false;
  }

  // Channel layout of 16- and 32-bit pixels.
  out.redMask = out.greenMask = out.blueMask = out.alphaMask = 0;
  if (compression == kBitfields) {
    std::size_t maskAt = h + 40;
    if (headerSize == kInfoHeader) {
      // The three masks follow the plain info header, before the palette.
      if (file.size() < h + kInfoHeader + 12) return false;
      paletteStart += 12;
    }
    out.redMask = U32(file, maskAt);
    out.greenMask = U32(file, maskAt + 4);
    out.blueMask = U32(file, maskAt + 8);
    if (headerSize >= kV3Header) out.alphaMask = U32(file, maskAt + 12);
    const std::uint32_t masks[] = {out.redMask, out.greenMask, out.blueMask, out.alphaMask};
    std::uint32_t seen = 0;
    for (std::uint32_t m : masks) {
      if (!MaskValid(m, bitCount) || (seen & m) != 0) return false;
      seen |= m;
    }
    if ((out.redMask | out.greenMask | out.blueMask) == 0) return false;
  } else if (bitCount == 16) {
    out.redMask = 0x7C00;
    out.greenMask = 0x03E0;
    out.blueMask = 0x001F;
  } else if (bitCount == 32) {
    out.redMask = 0x00FF0000;
    out.greenMask = 0x0000FF00;
    out.blueMask = 0x000000FF;
  }

  // Where the pixels start: bfOffBits when given, else right after the
  // palette. It may not point into the headers.
  const std::uint32_t fullPalette = bitCount <= 8 ? (1u << bitCount) : 0;
  std::uint32_t declared = fullPalette;
  if (bitCount <= 8 && clrUsed != 0) declared = std::min(clrUsed, fullPalette);
  std::size_t pixelStart;
  if (offBits != 0) {
    if (offBits < paletteStart || offBits > file.size()) return false;
    pixelStart = offBits;
  } else {
    pixelStart = paletteStart + static_cast<std::size_t>(declared) * entrySize;
    if (pixelStart > file.size()) return false;
  }

  // Colour table: always 2^bitCount entries for palette images; entries the
  // file does not give (a short palette) stay black, so any index is valid.
  if (bitCount <= 8) {
    std::size_t available = (pixelStart - paletteStart) / entrySize;
    const std::size_t entries = std::min<std::size_t>(declared, available);
    out.colors.assign(fullPalette, DibColor{});
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = paletteStart + i * entrySize;
      out.colors[i].blue = file[at];
      out.colors[i].green = file[at + 1];
      out.colors[i].red = file[at + 2];
    }
  }

  const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * bitCount;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t total = stride * static_cast<std::uint64_t>(height);
  if (stride > UINT32_MAX) return false;

  out.width = static_cast<std::int32_t>(width);
  out.height = static_cast<std::int32_t>(height);
  out.topDown = topDown;
  out.bitCount = bitCount;
  out.stride = static_cast<std::uint32_t>(stride);

  const std::span<const std::uint8_t> rest = file.subspan(pixelStart);
  if (compression == kRLE8 || compression == kRLE4) {
    std::span<const std::uint8_t> data = rest;
    if (sizeImage != 0) {
      if (sizeImage > rest.size()) return false;
      data = rest.first(sizeImage);
    }
    out.bits.assign(static_cast<std::size_t>(total), 0);
    return ExpandRLE(data, out);
  }

  // Uncompressed rows: every row but the last must be there with its
  // padding; the last row needs only its pixel bytes (missing padding reads as zero).
  const std::uint64_t lastRow = (rowBits + 7) / 8;
  const std::uint64_t needed = stride * static_cast<std::uint64_t>(height - 1) + lastRow;
  if (needed > rest.size()) return false;
  out.bits.assign(static_cast<std::size_t>(total), 0);
  std::copy_n(rest.begin(), static_cast<std::size_t>(std::min<std::uint64_t>(total, rest.size())), out.bits.begin());
  return true;
}
