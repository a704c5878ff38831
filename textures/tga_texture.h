// The TGA texture reader: true-colour TGA files, uncompressed (type 2) or
// run-length encoded (type 10), 24 or 32 bits, read into a second table of
// texture slots. Every fault found in a file is shown in a message box and
// leaves the slot's texture as it was.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

#include "render/gl.h"

inline constexpr std::int32_t kTGASlotLast = 200;

// One TGA slot. ImageData holds the decoded pixels (R, G, B (, A), rows in
// file order) only between reading and upload; it is empty afterwards.
struct TGATexture {
  std::vector<std::uint8_t> ImageData;
  std::uint32_t Bpp = 0;     // 24 or 32
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::uint32_t TexID = 0;   // GL texture name, 0 until a load succeeded
  std::uint32_t Typ = 0;     // GL_RGB or GL_RGBA
};

// The first 12 bytes of the file being read.
struct TGAHeaderRecord {
  std::array<std::uint8_t, 12> Header{};
};

// Working record of the reader: file bytes 12..17 and the derived sizes.
struct TGARecord {
  std::array<std::uint8_t, 6> Header{};
  std::uint32_t BytesPerPixel = 0;
  std::uint32_t ImageSize = 0;
  std::uint32_t Typ = 0;  // not written by the readers
  std::uint32_t Heigh = 0;
  std::uint32_t Width = 0;
  std::uint32_t Bpp = 0;
};

extern std::array<TGATexture, kTGASlotLast + 1> TextureTGA2;
extern TGAHeaderRecord TGAHeader;
extern TGARecord TGA;
extern std::ifstream fTGA;  // the file of the load in progress

inline constexpr std::array<std::uint8_t, 12> uTGAcompare = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr std::array<std::uint8_t, 12> cTGAcompare = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Largest image the reader accepts (pixels); larger ones are reported as
// "Could not allocate memory for image" instead of being allocated.
inline constexpr std::uint64_t kMaxTGAPixels = 64ull * 1024 * 1024;

// Reads a TGA file into `Texture`; true when the record was filled.
bool LoadTGA(TGATexture& Texture, const char* Filename);
// Continue the file LoadTGA opened, after its first 12 bytes.
bool LoadUncompressedTGA(TGATexture& Texture, const char* Filename);
bool LoadCompressedTGA(TGATexture& Texture, const char* Filename);

// Loads a TGA file into slot `Num` (0..200). A missing file is skipped
// silently; a faulty one shows its message and leaves the slot unchanged.
void TextureLoadTGAID(const char* TGAFile, std::int32_t Num);

// Binds the texture of slot `Num` (0..200).
void TextureTGASelectID(std::int32_t Num);

// For tests and tools: empties every TGA slot.
void ResetTGATextureSlots();
