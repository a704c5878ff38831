// PNG encoding tuned for export speed: zlib's fastest level with the Sub
// filter, RGB when every pixel is opaque. The pictures decode exactly as
// textures/image_write.h's EncodePNG ones; only the byte stream differs.
#pragma once

#include <cstdint>
#include <vector>

#include "textures/image_write.h"

std::vector<std::uint8_t> EncodePNGFast(const RgbaImage& image);
