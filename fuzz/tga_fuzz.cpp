// Fuzz target: the TGA reader. The input is written to a scratch file and
// read with LoadTGA as the texture loader would; every fault must end in one
// message box, and a success must leave a whole image.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/headless.h"
#include "textures/tga_texture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/garden_tga_fuzz_" + std::to_string(getpid()) + ".tga";
  static const bool ready = [] {
    UseHeadlessPlatform(640, 480);
    return true;
  }();
  (void)ready;
  ResetPlatform();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  TGATexture texture;
  const bool ok = LoadTGA(texture, path.c_str());
  const std::size_t boxes = HeadlessMessageBoxLog().size();
  if (ok) {
    const std::size_t expected = static_cast<std::size_t>(texture.Width) * texture.Height * (texture.Bpp / 8);
    if (boxes != 0 || texture.ImageData.size() != expected || (texture.Bpp != 24 && texture.Bpp != 32)) std::abort();
  } else if (boxes != 1 || !texture.ImageData.empty()) {
    std::abort();
  }
  std::remove(path.c_str());
  return 0;
}
