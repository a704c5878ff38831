// Fixture for the texture tests: the GL capture, the headless desktop layer
// (message boxes are logged), empty slot tables, throwing checked failures
// and a scratch folder for the files a test writes.
#pragma once

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "render/glcapture.h"
#include "support/fault.h"
#include "textures/image_write.h"
#include "textures/textures.h"

using Bytes = std::vector<std::uint8_t>;

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(800, 600);
    InstallGLCapture();
    ResetTextureSlots();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& ch : name)
      if (ch == '/') ch = '_';
    dir_ = std::filesystem::temp_directory_path() / ("garden_textures_" + std::to_string(getpid()) + "_" + name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }

  void TearDown() override {
    ResetTextureSlots();
    std::filesystem::remove_all(dir_);
  }

  // Writes `bytes` to a file of the scratch folder and returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = Path(name);
    EXPECT_TRUE(WriteBytes(path, bytes));
    return path;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static int CallCount(const char* name) {
    int n = 0;
    for (const CapturedCall& c : CaptureLog())
      if (std::string(c.name) == name) ++n;
    return n;
  }

  static const CapturedCall* LastCall(const char* name) {
    const CapturedCall* found = nullptr;
    for (const CapturedCall& c : CaptureLog())
      if (std::string(c.name) == name) found = &c;
    return found;
  }

 private:
  std::filesystem::path dir_;
  FaultsThrow faults_;
};

// A picture whose every byte differs from its neighbours, so swapped
// channels, flipped rows or a shifted row show in the comparison.
inline RgbaImage TestPicture(int w, int h) {
  RgbaImage img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = img.At(x, y);
      p[0] = static_cast<std::uint8_t>(x * 7 + y * 13 + 1);
      p[1] = static_cast<std::uint8_t>(x * 11 + y * 3 + 50);
      p[2] = static_cast<std::uint8_t>(x * 5 + y * 17 + 100);
      p[3] = static_cast<std::uint8_t>((x + y) % 3 == 0 ? 0 : 200 + x + y);
    }
  return img;
}

// The picture's pixels, rows from the bottom up (or top down), each pixel
// as the given channel order; `bytes` 3 drops the alpha.
inline Bytes Rows(const RgbaImage& img, bool bottomUp, bool bgr, int bytes) {
  Bytes out;
  for (int i = 0; i < img.height; ++i) {
    const int y = bottomUp ? img.height - 1 - i : i;
    for (int x = 0; x < img.width; ++x) {
      const std::uint8_t* p = img.At(x, y);
      out.push_back(bgr ? p[2] : p[0]);
      out.push_back(p[1]);
      out.push_back(bgr ? p[0] : p[2]);
      if (bytes == 4) out.push_back(p[3]);
    }
  }
  return out;
}
