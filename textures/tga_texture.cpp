// The TGA reader and the TGA texture slots. The reader walks the file with
// one global stream (fTGA) and one working record (TGA), reports each fault
// in a message box, and never reads or writes outside its buffers: short
// files end in a message, and packets that run past the image are refused
// before their pixels are stored.
#include "textures/tga_texture.h"

#include <algorithm>
#include <filesystem>

#include "platform/checked.h"
#include "platform/winapi.h"
#include "textures/bmp_texture.h"

std::array<TGATexture, kTGASlotLast + 1> TextureTGA2{};
TGAHeaderRecord TGAHeader;
TGARecord TGA;
std::ifstream fTGA;

namespace {

void Message(const char* text, const char* caption = "ERROR") { MessageBoxA(nullptr, text, caption, MB_OK); }

// Reads up to `n` bytes from fTGA and returns how many arrived. A short read
// is the caller's to report; a fault of the device stops the program.
std::size_t ReadTGA(std::uint8_t* into, std::size_t n) {
  fTGA.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(n));
  if (fTGA.bad()) RunError(Fault::IOError, "TGA read");
  return static_cast<std::size_t>(fTGA.gcount());
}

// Bytes left in fTGA after the current position.
std::uint64_t RemainingTGA() {
  const std::streampos here = fTGA.tellg();
  fTGA.seekg(0, std::ios::end);
  const std::streampos end = fTGA.tellg();
  fTGA.seekg(here);
  if (here < 0 || end < here) return 0;
  return static_cast<std::uint64_t>(end - here);
}

void FreeImage(TGATexture& Texture) { std::vector<std::uint8_t>().swap(Texture.ImageData); }

bool IsMipmapFilter(GLint filter) {
  return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_NEAREST_MIPMAP_LINEAR ||
         filter == GL_LINEAR_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_LINEAR;
}

// The steps both sub-readers begin with: bytes 12..17, the size and depth
// checks and the image size. The image block itself is left to the caller.
bool ReadTGAInfo(TGATexture& Texture) {
  if (ReadTGA(TGA.Header.data(), TGA.Header.size()) < TGA.Header.size()) {
    Message("Could not read info header");
    return false;
  }
  Texture.Width = TGA.Header[1] * 256u + TGA.Header[0];
  Texture.Height = TGA.Header[3] * 256u + TGA.Header[2];
  Texture.Bpp = TGA.Header[4];
  TGA.Width = Texture.Width;
  TGA.Heigh = Texture.Height;
  TGA.Bpp = Texture.Bpp;
  if (Texture.Width == 0 || Texture.Height == 0 || (Texture.Bpp != 24 && Texture.Bpp != 32)) {
    Message("Invalid texture information");
    return false;
  }
  Texture.Typ = Texture.Bpp == 24 ? GL_RGB : GL_RGBA;
  TGA.BytesPerPixel = TGA.Bpp / 8;
  // An image this large is not allocated: it is reported as out of memory.
  if (static_cast<std::uint64_t>(TGA.Width) * TGA.Heigh > kMaxTGAPixels) {
    Message("Could not allocate memory for image");
    return false;
  }
  TGA.ImageSize = TGA.BytesPerPixel * TGA.Width * TGA.Heigh;
  return true;
}

}  // namespace

bool LoadTGA(TGATexture& Texture, const char* Filename) {
  fTGA.close();
  fTGA.clear();
  fTGA.open(Filename, std::ios::binary);
  if (!fTGA.is_open()) {
    Message("Could not open texture file");
    return false;
  }
  if (ReadTGA(TGAHeader.Header.data(), TGAHeader.Header.size()) < TGAHeader.Header.size()) {
    Message("Could not read file header");
    fTGA.close();
    return false;
  }
  bool ok;
  if (TGAHeader.Header == uTGAcompare) {
    ok = LoadUncompressedTGA(Texture, Filename);
  } else if (TGAHeader.Header == cTGAcompare) {
    ok = LoadCompressedTGA(Texture, Filename);
  } else {
    Message("TGA file be type 2 or type 10", "Invalid Image");
    fTGA.close();
    return false;
  }
  if (!ok) {
    fTGA.close();
    return false;
  }
  return true;
}

bool LoadUncompressedTGA(TGATexture& Texture, const char* /*Filename*/) {
  if (!ReadTGAInfo(Texture)) return false;
  // A file too short for its pixels fails the same way the read would, but
  // before a block the file cannot fill is allocated.
  if (RemainingTGA() < TGA.ImageSize) {
    Message("Could not read image data");
    FreeImage(Texture);
    return false;
  }
  Texture.ImageData.assign(TGA.ImageSize, 0);
  if (ReadTGA(Texture.ImageData.data(), TGA.ImageSize) < TGA.ImageSize) {
    Message("Could not read image data");
    FreeImage(Texture);
    return false;
  }
  for (std::size_t k = 0; k < static_cast<std::size_t>(TGA.ImageSize); k += TGA.BytesPerPixel) {
    std::swap(Texture.ImageData[k], Texture.ImageData[k + 2]);
  }
  fTGA.close();
  return true;
}

bool LoadCompressedTGA(TGATexture& Texture, const char* /*Filename*/) {
  if (!ReadTGAInfo(Texture)) return false;
  const std::uint64_t pixelCount = static_cast<std::uint64_t>(TGA.Heigh) * TGA.Width;
  std::uint64_t currentPixel = 0;
  const std::size_t bpp = TGA.BytesPerPixel;
  // The image grows as pixels are stored, so a short or lying file never
  // costs more memory than its packets describe; when the last pixel is
  // stored it is the full ImageSize block.
  FreeImage(Texture);
  std::array<std::uint8_t, 4> colorBuffer{};

  auto store = [&]() {
    if (currentPixel == pixelCount) {
      Message("Too many pixels read");
      FreeImage(Texture);
      return false;
    }
    Texture.ImageData.push_back(colorBuffer[2]);
    Texture.ImageData.push_back(colorBuffer[1]);
    Texture.ImageData.push_back(colorBuffer[0]);
    if (bpp == 4) Texture.ImageData.push_back(colorBuffer[3]);
    ++currentPixel;
    return true;
  };

  while (currentPixel < pixelCount) {
    std::uint8_t header = 0;
    if (ReadTGA(&header, 1) < 1) {
      Message("Could not read RLE header");
      FreeImage(Texture);
      return false;
    }
    if (header < 128) {
      for (int i = 0; i <= header; ++i) {
        if (ReadTGA(colorBuffer.data(), bpp) < bpp) {
          Message("Could not read image data");
          FreeImage(Texture);
          return false;
        }
        if (!store()) return false;
      }
    } else {
      if (ReadTGA(colorBuffer.data(), bpp) < bpp) {
        Message("Could not read from file");
        FreeImage(Texture);
        return false;
      }
      for (int i = 0; i < header - 127; ++i) {
        if (!store()) return false;
      }
    }
  }
  fTGA.close();
  return true;
}

void TextureLoadTGAID(const char* TGAFile, std::int32_t Num) {
  TGATexture& texture = TextureTGA2[CheckIndex(Num, 0, kTGASlotLast, "TGA texture slot")];
  std::error_code ec;
  if (!std::filesystem::exists(TGAFile, ec)) return;
  if (!LoadTGA(texture, TGAFile)) return;

  // Rows are tightly packed. GL reads rows aligned to 4 bytes (the unpack
  // alignment in force), so 24-bit rows whose byte count is not a multiple
  // of 4 are handed over padded rather than letting GL read past the data.
  const std::size_t rowBytes = static_cast<std::size_t>(texture.Width) * (texture.Bpp / 8);
  const std::size_t stride = (rowBytes + 3) / 4 * 4;
  std::vector<std::uint8_t> padded;
  const std::uint8_t* pixels = texture.ImageData.data();
  if (stride != rowBytes) {
    padded.assign(stride * texture.Height, 0);
    for (std::size_t row = 0; row < texture.Height; ++row) {
      std::copy_n(texture.ImageData.begin() + static_cast<std::ptrdiff_t>(row * rowBytes), rowBytes,
                  padded.begin() + static_cast<std::ptrdiff_t>(row * stride));
    }
    pixels = padded.data();
  }

  const auto width = static_cast<GLsizei>(texture.Width);
  const auto height = static_cast<GLsizei>(texture.Height);
  const auto components = static_cast<GLint>(texture.Bpp / 8);
  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &texture.TexID);
  glBindTexture(GL_TEXTURE_2D, texture.TexID);
  glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, texture.Typ, GL_UNSIGNED_BYTE, pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_Min_Filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_Mag_Filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  if (IsMipmapFilter(GL_Min_Filter)) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, texture.Typ, GL_UNSIGNED_BYTE, pixels);
  }
  FreeImage(texture);
}

void TextureTGASelectID(std::int32_t Num) {
  glBindTexture(GL_TEXTURE_2D, TextureTGA2[CheckIndex(Num, 0, kTGASlotLast, "TGA texture slot")].TexID);
}

void ResetTGATextureSlots() {
  for (TGATexture& t : TextureTGA2) t = TGATexture{};
  TGAHeader = TGAHeaderRecord{};
  TGA = TGARecord{};
  fTGA.close();
  fTGA.clear();
}
