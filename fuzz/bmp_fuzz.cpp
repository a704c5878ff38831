// Fuzz target: BMP decoding. Any input must be refused or decoded into a
// consistent bitmap, without reading or writing out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/bmp_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodedDib dib;
  if (!DecodeBMP(std::span<const std::uint8_t>(data, size), dib)) return 0;
  // A decoded bitmap is whole: every row present at its stride, a palette
  // for every index the pixels can hold.
  const std::uint64_t rowBits = static_cast<std::uint64_t>(dib.width) * dib.bitCount;
  if (dib.width <= 0 || dib.height <= 0 || dib.stride % 4 != 0 || dib.stride * 8ull < rowBits ||
      dib.bits.size() != static_cast<std::size_t>(dib.stride) * static_cast<std::size_t>(dib.height) ||
      static_cast<std::uint64_t>(dib.width) * static_cast<std::uint64_t>(dib.height) > kMaxDibPixels ||
      (dib.bitCount <= 8 && dib.colors.size() != (1u << dib.bitCount))) {
    std::abort();
  }
  unsigned sum = 0;
  for (std::uint8_t b : dib.bits) sum += b;
  return sum == 0xFFFFFFFFu ? 1 : 0;
}
