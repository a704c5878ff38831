// BMP texture slots. The headers are read here only to learn the colour
// depth; the pixels come from the layer's image loader (LoadImageA), which
// keeps the file's rows, each padded to 4 bytes.
#include "textures/bmp_texture.h"

#include <filesystem>
#include <fstream>

#include "platform/checked.h"
#include "platform/winapi.h"

std::array<GLuint, kBMPSlotLast + 1> TextureID2{};
GLint GL_Min_Filter = GL_LINEAR;
GLint GL_Mag_Filter = GL_LINEAR;

namespace {

bool FileExists(const char* name) {
  std::error_code ec;
  return std::filesystem::exists(name, ec);
}

bool IsMipmapFilter(GLint filter) {
  return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_NEAREST_MIPMAP_LINEAR ||
         filter == GL_LINEAR_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_LINEAR;
}

// Reads exactly `n` bytes; a short file is a run-time I/O error.
void ReadExactly(std::ifstream& f, char* into, std::streamsize n, const char* what) {
  f.read(into, n);
  if (f.gcount() != n) RunError(Fault::IOError, what);
}

}  // namespace

std::int32_t GetBMPDepth(const char* BmpFile) {
  if (!FileExists(BmpFile)) return 0;
  std::ifstream f(BmpFile, std::ios::binary);
  if (!f) RunError(Fault::IOError, std::string("cannot open ") + BmpFile);
  std::array<unsigned char, 14> fileHeader{};
  ReadExactly(f, reinterpret_cast<char*>(fileHeader.data()), 14, "BMP file header");
  if ((fileHeader[0] | (fileHeader[1] << 8)) != 0x4D42) return 0;
  std::array<unsigned char, 40> infoHeader{};
  ReadExactly(f, reinterpret_cast<char*>(infoHeader.data()), 40, "BMP info header");
  const std::uint32_t biSize = infoHeader[0] | (infoHeader[1] << 8) | (infoHeader[2] << 16) |
                               (static_cast<std::uint32_t>(infoHeader[3]) << 24);
  if (biSize == 12) return 0;
  return infoHeader[14] | (infoHeader[15] << 8);
}

void SwapRGB(std::uint8_t* Data, std::int32_t Size) {
  for (std::int32_t k = 0; k < Size; ++k) std::swap(Data[3 * k], Data[3 * k + 2]);
}

void AddMipmapsTexture(std::int32_t Format, std::int32_t Width, std::int32_t Height, const void* Bits) {
  if (Format == 24) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, Bits);
  } else if (Format == 32) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, Width, Height, GL_BGRA, GL_UNSIGNED_BYTE, Bits);
  }
}

void TextureLoadID(const char* BmpFile, std::int32_t Num) {
  const std::size_t slot = CheckIndex(Num, 0, kBMPSlotLast, "BMP texture slot");
  const std::int32_t format = GetBMPDepth(BmpFile);

  // Decode with the layer's loader. The image is used only when the loader
  // agrees with the header on the depth.
  HANDLE image = LoadImageA(nullptr, BmpFile, IMAGE_BITMAP, 0, 0,
                            LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_LOADTRANSPARENT);
  BITMAP bm{};
  std::uint8_t* pixels = nullptr;
  if (image != nullptr && GetObjectA(image, static_cast<int>(sizeof(BITMAP)), &bm) == static_cast<int>(sizeof(BITMAP)) &&
      bm.bmBitsPixel == format && bm.bmBits != nullptr) {
    pixels = static_cast<std::uint8_t*>(bm.bmBits);
  }
  const std::int32_t width = pixels != nullptr ? static_cast<std::int32_t>(bm.bmWidth) : 0;
  const std::int32_t height = pixels != nullptr ? static_cast<std::int32_t>(bm.bmHeight) : 0;

  if (pixels != nullptr && format == 24) {
    // B, G, R to R, G, B. Rows carry padding up to 4 bytes when width × 3
    // is not a multiple of 4, so the swap goes row by row.
    CheckedMul(width, height, "BMP pixel count");
    for (std::int32_t row = 0; row < height; ++row) {
      SwapRGB(pixels + static_cast<std::size_t>(row) * static_cast<std::size_t>(bm.bmWidthBytes), width);
    }
  }

  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &TextureID2[slot]);
  glBindTexture(GL_TEXTURE_2D, TextureID2[slot]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_Min_Filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_Mag_Filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  if (pixels != nullptr) {
    if (format == 24) {
      glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    } else if (format == 32) {
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    }
    if (IsMipmapFilter(GL_Min_Filter)) AddMipmapsTexture(format, width, height, pixels);
  }
  if (image != nullptr) DeleteObject(image);
}

void TextureSelectID(std::int32_t Num) {
  glBindTexture(GL_TEXTURE_2D, TextureID2[CheckIndex(Num, 0, kBMPSlotLast, "BMP texture slot")]);
}

void ResetBMPTextureSlots() {
  TextureID2.fill(0);
  GL_Min_Filter = GL_LINEAR;
  GL_Mag_Filter = GL_LINEAR;
}
