// The garden's texture set as the generator writes it: every file loads
// through its loader without a message, in the kind the catalogue expects;
// leaves are cut out by their alpha, opaque pictures tile without seams, and
// the generator writes the same bytes every time.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "texture_fixture.h"

namespace {

struct SetEntry {
  const char* file;
  bool tga;
  int bits;       // BMP depth; 32 for every TGA
  bool cutOut;    // alpha cuts an outline
  bool tiles;     // repeats seamlessly both ways
};

constexpr SetEntry kSet[] = {
    {"gras.bmp", false, 24, false, true},         {"corteccia01.bmp", false, 24, false, true},
    {"corteccia02.bmp", false, 32, false, true},  {"corteccia00.bmp", false, 24, false, true},
    {"corteccia03.bmp", false, 32, false, true},  {"FustoVerde00.bmp", false, 24, false, true},
    {"fico01.tga", true, 32, true, false},        {"foglie00.tga", true, 32, true, false},
    {"palma01.tga", true, 32, true, false},       {"pino.tga", true, 32, true, false},
    {"banano.tga", true, 32, true, false},        {"erba01.tga", true, 32, true, false},
    {"erba00.tga", true, 32, true, false},        {"erba02.tga", true, 32, true, false},
    {"graminacea00b.tga", true, 32, true, false},
};

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The set is painted once for the suite into a folder of its own.
class TextureSet : public TextureTest {
 protected:
  static std::string Tool() { return std::string(GARDEN_BINARY_DIR) + "/tools/make_textures"; }
  static std::string SetDir() {  // one per process: ctest runs the tests side by side
    return (std::filesystem::temp_directory_path() / ("garden_texture_set_" + std::to_string(getpid()))).string();
  }

  static void SetUpTestSuite() {
    std::filesystem::remove_all(SetDir());
    std::filesystem::create_directories(SetDir());
    if (std::filesystem::exists(Tool())) painted_ = std::system((Tool() + " " + SetDir()).c_str()) == 0;
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(SetDir()); }

  void SetUp() override {
    TextureTest::SetUp();
    if (!std::filesystem::exists(Tool())) GTEST_SKIP() << "make_textures is not built";
    ASSERT_TRUE(painted_);
  }
  static std::string SetFile(const char* name) { return SetDir() + "/" + name; }

  static inline bool painted_ = false;
};

// The step between neighbouring columns across the wrap (last to first)
// against the steps inside the picture: a seam shows as a step larger than
// nearly all of them. Likewise for rows.
bool Seamless(const CapturedTexture& tex, bool columns) {
  const int w = tex.width, h = tex.height, n = static_cast<int>(tex.pixels.size()) / (w * h);
  auto at = [&](int x, int y, int c) { return tex.pixels[(static_cast<std::size_t>(y) * w + x) * n + c]; };
  auto step = [&](int a, int b) {
    double sum = 0;
    const int len = columns ? h : w;
    for (int i = 0; i < len; ++i)
      for (int c = 0; c < 3; ++c) sum += std::abs(columns ? at(a, i, c) - at(b, i, c) : at(i, a, c) - at(i, b, c));
    return sum / len;
  };
  const int size = columns ? w : h;
  std::vector<double> inside;
  for (int i = 0; i + 1 < size; ++i) inside.push_back(step(i, i + 1));
  std::sort(inside.begin(), inside.end());
  return step(size - 1, 0) <= 1.2 * inside[inside.size() * 95 / 100];
}

TEST_F(TextureSet, EveryFileLoadsInItsKind) {
  int slot = 0;
  for (const SetEntry& e : kSet) {
    SCOPED_TRACE(e.file);
    const std::string path = SetFile(e.file);
    GLuint name;
    if (e.tga) {
      TextureLoadTGAID(path.c_str(), slot);
      name = TextureTGA2[static_cast<std::size_t>(slot)].TexID;
    } else {
      EXPECT_EQ(GetBMPDepth(path.c_str()), e.bits);
      TextureLoadID(path.c_str(), slot);
      name = TextureID2[static_cast<std::size_t>(slot)];
    }
    ++slot;
    const CapturedTexture* tex = CapturedTextureInfo(name);
    ASSERT_NE(tex, nullptr);
    ASSERT_TRUE(tex->hasImage);
    EXPECT_TRUE(PowerOfTwo(tex->width) && PowerOfTwo(tex->height));
    EXPECT_GE(tex->width, 64);
    const int channels = e.bits / 8;
    if (!e.cutOut) {
      if (channels == 4) {
        for (std::size_t i = 3; i < tex->pixels.size(); i += 4) {
          ASSERT_EQ(tex->pixels[i], 255);
        }
      }
      if (e.tiles) {
        EXPECT_TRUE(Seamless(*tex, true));
        EXPECT_TRUE(Seamless(*tex, false));
      }
      continue;
    }
    // Cut-outs: a good part of the picture is kept by the alpha test
    // (alpha above 0.4), a good part is fully transparent, and the soft
    // edge between them is a thin rim, not a haze.
    std::size_t clear = 0, kept = 0, edge = 0;
    for (std::size_t i = 3; i < tex->pixels.size(); i += 4) {
      const int a = tex->pixels[i];
      if (a == 0) ++clear;
      else if (a > 102) ++kept;
      else ++edge;
    }
    const double total = static_cast<double>(tex->pixels.size() / 4);
    EXPECT_GT(clear / total, 0.08);
    EXPECT_GT(kept / total, 0.08);
    EXPECT_LT(edge, kept / 3);
  }
  EXPECT_TRUE(HeadlessMessageBoxLog().empty());
}

TEST_F(TextureSet, GeneratorWritesTheSameBytesEveryTime) {
  const std::string other = Path("again");
  ASSERT_EQ(std::system((Tool() + " " + other).c_str()), 0);
  for (const SetEntry& e : kSet) {
    const Bytes first = ReadAll(SetFile(e.file));
    EXPECT_FALSE(first.empty()) << e.file;
    EXPECT_EQ(first, ReadAll(other + "/" + e.file)) << e.file;
  }
}

}  // namespace
