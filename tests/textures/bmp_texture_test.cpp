// BMP texture slots, through the GL capture: what is uploaded for each
// depth, the state every load sets, the mipmap path, selection, and the
// checked failures.
#include <array>
#include <cstring>

#include "texture_fixture.h"

namespace {

class BmpTexture : public TextureTest {};

struct UploadCase {
  const char* name;
  int width, height;
  BmpOptions options;
};

class BmpUpload : public TextureTest, public ::testing::WithParamInterface<UploadCase> {};

// 24-bit files arrive as R, G, B with internal format 3 and 32-bit files
// unchanged as B, G, R, A into GL_RGBA, rows in file order; narrow 24-bit
// rows carry padding and must still come out whole.
TEST_P(BmpUpload, PixelsFormatsAndState) {
  const UploadCase& c = GetParam();
  const RgbaImage picture = TestPicture(c.width, c.height);
  const std::string path = Write("image.bmp", EncodeBMP(picture, c.options));
  const int bytes = c.options.bitCount / 8;

  EXPECT_EQ(GetBMPDepth(path.c_str()), c.options.bitCount);
  TextureLoadID(path.c_str(), 7);

  const GLuint name = TextureID2[7];
  ASSERT_NE(name, 0u);
  EXPECT_EQ(CapturedBoundTexture(), name);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  const CapturedTexture* tex = CapturedTextureInfo(name);
  ASSERT_NE(tex, nullptr);
  ASSERT_TRUE(tex->hasImage);
  EXPECT_EQ(tex->width, c.width);
  EXPECT_EQ(tex->height, c.height);
  EXPECT_EQ(tex->internalFormat, bytes == 3 ? 3 : static_cast<GLint>(GL_RGBA));
  EXPECT_EQ(tex->format, bytes == 3 ? GL_RGB : GL_BGRA);
  EXPECT_EQ(tex->type, GL_UNSIGNED_BYTE);
  EXPECT_EQ(tex->pixels, Rows(picture, !c.options.topDown, bytes == 4, bytes));
  EXPECT_FALSE(tex->mipmaps);
  EXPECT_EQ(tex->params.at(GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_LINEAR));
  EXPECT_EQ(tex->params.at(GL_TEXTURE_MAG_FILTER), static_cast<GLint>(GL_LINEAR));
  EXPECT_EQ(tex->params.at(GL_TEXTURE_WRAP_S), static_cast<GLint>(GL_REPEAT));
  EXPECT_EQ(tex->params.at(GL_TEXTURE_WRAP_T), static_cast<GLint>(GL_REPEAT));
  const auto store = CapturedState().pixelStore;
  EXPECT_EQ(store.at(GL_UNPACK_ALIGNMENT), 4);
  EXPECT_EQ(store.at(GL_UNPACK_ROW_LENGTH), 0);
  EXPECT_EQ(store.at(GL_UNPACK_SKIP_ROWS), 0);
  EXPECT_EQ(store.at(GL_UNPACK_SKIP_PIXELS), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpUpload,
                         ::testing::Values(UploadCase{"rgb_128x128", 128, 128, {24, false}},
                                           UploadCase{"rgb_padded_3x2", 3, 2, {24, false}},
                                           UploadCase{"rgb_padded_5x3_top_down", 5, 3, {24, true}},
                                           UploadCase{"bgra_4x4", 4, 4, {32, false}},
                                           UploadCase{"bgra_3x2_top_down", 3, 2, {32, true}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Files that are not 24- or 32-bit BMPs still get a fresh, bound name with
// the filters and wrap modes set, but no image.
struct NoImageCase {
  const char* name;
  int depth;
  Bytes (*file)();
};

Bytes PaletteBmp() {
  // 2 × 2, 8 bits, two palette entries.
  Bytes f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0};
  f.resize(54, 0);
  f[46] = 2;  // colours used
  const std::array<std::uint8_t, 8> palette = {0, 0, 0, 0, 255, 255, 255, 0};
  f.insert(f.end(), palette.begin(), palette.end());
  const std::array<std::uint8_t, 8> rows = {0, 1, 0, 0, 1, 0, 0, 0};
  f.insert(f.end(), rows.begin(), rows.end());
  return f;
}

Bytes NotBm() {
  Bytes f = EncodeBMP(TestPicture(2, 2));
  f[1] = 'A';
  return f;
}

Bytes CoreHeader() {
  // 1 × 1 core-header 24-bit file, padded past 54 bytes.
  Bytes f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3, 0};
  f.resize(60, 0);
  return f;
}

Bytes HighColour() {
  Bytes f = EncodeBMP(TestPicture(2, 2));  // relabelled as 16 bits: the loader decodes 2 × 2 × 2 bytes
  f[28] = 16;
  return f;
}

Bytes CutPixels() {
  Bytes f = EncodeBMP(TestPicture(8, 8));
  f.resize(70);  // headers intact, pixels cut: the depth reads 24 but nothing decodes
  return f;
}

class BmpNoImage : public TextureTest, public ::testing::WithParamInterface<NoImageCase> {};

TEST_P(BmpNoImage, SlotGetsANameButNoImage) {
  const NoImageCase& c = GetParam();
  const std::string path = c.file ? Write("file.bmp", c.file()) : Path("missing.bmp");
  EXPECT_EQ(GetBMPDepth(path.c_str()), c.depth);
  TextureLoadID(path.c_str(), 0);
  const GLuint name = TextureID2[0];
  ASSERT_NE(name, 0u);
  EXPECT_EQ(CapturedBoundTexture(), name);
  EXPECT_EQ(CallCount("glTexImage2D"), 0);
  const CapturedTexture* tex = CapturedTextureInfo(name);
  ASSERT_NE(tex, nullptr);
  EXPECT_FALSE(tex->hasImage);
  EXPECT_EQ(tex->params.at(GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_LINEAR));
  EXPECT_EQ(tex->params.at(GL_TEXTURE_WRAP_T), static_cast<GLint>(GL_REPEAT));
  EXPECT_TRUE(HeadlessMessageBoxLog().empty());
}

INSTANTIATE_TEST_SUITE_P(Files, BmpNoImage,
                         ::testing::Values(NoImageCase{"palette_8_bits", 8, PaletteBmp},
                                           NoImageCase{"starts_with_BA", 0, NotBm},
                                           NoImageCase{"core_header", 0, CoreHeader},
                                           NoImageCase{"sixteen_bits", 16, HighColour},
                                           NoImageCase{"pixels_cut_short", 24, CutPixels},
                                           NoImageCase{"missing_file", 0, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpTexture, MipmapFilterBuildsTheChainFromTheUploadedPixels) {
  GL_Min_Filter = GL_LINEAR_MIPMAP_LINEAR;
  for (int bits : {24, 32}) {
    ClearCaptureLog();
    const RgbaImage picture = TestPicture(8, 4);
    const std::string path = Write("mip.bmp", EncodeBMP(picture, {bits, false}));
    TextureLoadID(path.c_str(), 1);
    const CapturedTexture* tex = CapturedTextureInfo(TextureID2[1]);
    ASSERT_NE(tex, nullptr);
    EXPECT_TRUE(tex->mipmaps);
    EXPECT_EQ(tex->levels, 4);  // 8×4, 4×2, 2×1, 1×1
    EXPECT_EQ(tex->params.at(GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_LINEAR_MIPMAP_LINEAR));
    const CapturedCall* mip = LastCall("gluBuild2DMipmaps");
    ASSERT_NE(mip, nullptr);
    EXPECT_EQ(mip->arg(1), bits / 8);
    EXPECT_EQ(mip->arg(2), 8);
    EXPECT_EQ(mip->arg(3), 4);
    EXPECT_EQ(mip->arg(4), bits == 24 ? GL_RGB : GL_BGRA);
    // The base image goes up first, then the chain.
    const auto& log = CaptureLog();
    std::size_t image = log.size(), chain = log.size();
    for (std::size_t i = 0; i < log.size(); ++i) {
      if (std::string(log[i].name) == "glTexImage2D") image = i;
      if (std::string(log[i].name) == "gluBuild2DMipmaps") chain = i;
    }
    EXPECT_LT(image, chain);
  }
}

TEST_F(BmpTexture, SelectBindsTheSlotsNameAndZeroBeforeAnyLoad) {
  glBindTexture(GL_TEXTURE_2D, 42);
  TextureSelectID(0);
  EXPECT_EQ(CapturedBoundTexture(), 0u);

  const std::string path = Write("a.bmp", EncodeBMP(TestPicture(4, 4)));
  TextureLoadID(path.c_str(), 500);
  const GLuint first = TextureID2[500];
  TextureLoadID(path.c_str(), 500);  // reloading gives a new name
  EXPECT_NE(TextureID2[500], first);
  TextureSelectID(0);
  TextureSelectID(500);
  EXPECT_EQ(CapturedBoundTexture(), TextureID2[500]);
}

TEST_F(BmpTexture, SlotOutsideTheTableIsARangeFault) {
  const std::string path = Write("a.bmp", EncodeBMP(TestPicture(4, 4)));
  for (int slot : {-1, 501}) {
    try {
      TextureLoadID(path.c_str(), slot);
      ADD_FAILURE() << "load into slot " << slot;
    } catch (const FaultRaised& f) {
      EXPECT_EQ(f.kind, Fault::RangeCheck);
    }
    try {
      TextureSelectID(slot);
      ADD_FAILURE() << "select slot " << slot;
    } catch (const FaultRaised& f) {
      EXPECT_EQ(f.kind, Fault::RangeCheck);
    }
  }
  EXPECT_EQ(CallCount("glGenTextures"), 0);
}

// Files too short for the headers the depth is read from, and names that
// exist but cannot be read, stop the program with an I/O fault.
TEST_F(BmpTexture, UnreadableHeadersAreIOFaults) {
  const Bytes bmp = EncodeBMP(TestPicture(4, 4));
  const std::string tiny = Write("tiny.bmp", Bytes(bmp.begin(), bmp.begin() + 13));
  const std::string shortInfo = Write("short.bmp", Bytes(bmp.begin(), bmp.begin() + 53));
  const std::string folder = Path("folder.bmp");
  std::filesystem::create_directory(folder);
  for (const std::string& path : {tiny, shortInfo, folder}) {
    try {
      GetBMPDepth(path.c_str());
      ADD_FAILURE() << path;
    } catch (const FaultRaised& f) {
      EXPECT_EQ(f.kind, Fault::IOError) << path;
    }
  }
  // A short file that is not a BMP is only 14 bytes away from its verdict.
  Bytes other(14, 'x');
  EXPECT_EQ(GetBMPDepth(Write("other.bmp", other).c_str()), 0);
}

TEST_F(BmpTexture, SwapRGBExchangesBlueAndRedOfEveryPixel) {
  std::array<std::uint8_t, 9> px = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  SwapRGB(px.data(), 2);
  EXPECT_EQ(px, (std::array<std::uint8_t, 9>{3, 2, 1, 6, 5, 4, 7, 8, 9}));
}

}  // namespace
