// BMP textures: the table of BMP texture slots, the loader that turns a 24-
// or 32-bit BMP file into a GL texture in a slot, slot selection, and the
// filter settings and mipmap step shared with the TGA reader.
#pragma once

#include <array>
#include <cstdint>

#include "render/gl.h"

inline constexpr std::int32_t kBMPSlotLast = 500;

// GL texture name per BMP slot; 0 = never loaded (binds GL's default texture).
extern std::array<GLuint, kBMPSlotLast + 1> TextureID2;
// Filters given to every loaded texture, BMP and TGA alike.
extern GLint GL_Min_Filter;
extern GLint GL_Mag_Filter;

// Bits per pixel read from the file's headers, or 0 for a missing file, a
// file that is not a BMP or a core-header BMP. An existing file that cannot
// be read, or is too short for its headers, is a run-time I/O error.
std::int32_t GetBMPDepth(const char* BmpFile);

// Exchanges the first and third byte of `Size` consecutive 3-byte pixels.
void SwapRGB(std::uint8_t* Data, std::int32_t Size);

// Builds the mipmap chain of the bound texture from 24-bit R, G, B or
// 32-bit B, G, R, A pixels; other formats are ignored.
void AddMipmapsTexture(std::int32_t Format, std::int32_t Width, std::int32_t Height, const void* Bits);

// Loads a BMP file into slot `Num` (0..500): the slot always gets a fresh
// texture name; the image is uploaded only for 24- and 32-bit files.
void TextureLoadID(const char* BmpFile, std::int32_t Num);

// Binds the texture of slot `Num` (0..500).
void TextureSelectID(std::int32_t Num);

// For tests and tools: empties every BMP slot and restores the filters.
void ResetBMPTextureSlots();
