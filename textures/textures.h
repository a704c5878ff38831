// Textures: the BMP and TGA slot tables and their loaders.
#pragma once

#include "textures/bmp_texture.h"
#include "textures/tga_texture.h"

// For tests and tools: empties both slot tables and restores the filters.
inline void ResetTextureSlots() {
  ResetBMPTextureSlots();
  ResetTGATextureSlots();
}
