// The TGA reader and its slots: decoded pixels per depth and compression,
// the upload through the GL capture, every fault with its message, and
// truncated or lying files.
#include <cstring>

#include "texture_fixture.h"

namespace {

class TgaTexture : public TextureTest {
 protected:
  // A TGA file: the 18-byte header and whatever follows.
  static Bytes Tga(std::uint8_t type, int width, int height, int bits, const Bytes& data) {
    Bytes f = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
               static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
               static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
               static_cast<std::uint8_t>(bits), 0};
    f.insert(f.end(), data.begin(), data.end());
    return f;
  }

  static void ExpectOneBox(const char* text, const char* caption) {
    const auto& log = HeadlessMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, text);
    EXPECT_EQ(log[0].caption, caption);
    EXPECT_EQ(log[0].owner, nullptr);
    EXPECT_EQ(log[0].style, MB_OK);
  }
};

TEST_F(TgaTexture, TwoByTwoUncompressedTurnsToRGBAAndUploads) {
  const Bytes pixels = {10, 20, 30, 40, 11, 21, 31, 41, 12, 22, 32, 42, 13, 23, 33, 43};
  const std::string path = Write("a.tga", Tga(2, 2, 2, 32, pixels));

  TGATexture record;
  ASSERT_TRUE(LoadTGA(record, path.c_str()));
  const Bytes expected = {30, 20, 10, 40, 31, 21, 11, 41, 32, 22, 12, 42, 33, 23, 13, 43};
  EXPECT_EQ(record.ImageData, expected);
  EXPECT_EQ(record.Typ, GL_RGBA);
  EXPECT_EQ(record.Bpp, 32u);
  EXPECT_EQ(record.Width, 2u);
  EXPECT_EQ(record.Height, 2u);

  TextureLoadTGAID(path.c_str(), 4);
  const TGATexture& slot = TextureTGA2[4];
  ASSERT_NE(slot.TexID, 0u);
  EXPECT_TRUE(slot.ImageData.empty());
  EXPECT_EQ(CapturedBoundTexture(), slot.TexID);
  const CapturedTexture* tex = CapturedTextureInfo(slot.TexID);
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(tex->internalFormat, 4);
  EXPECT_EQ(tex->format, GL_RGBA);
  EXPECT_EQ(tex->pixels, expected);
  EXPECT_EQ(tex->params.at(GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_LINEAR));
  EXPECT_EQ(tex->params.at(GL_TEXTURE_WRAP_S), static_cast<GLint>(GL_REPEAT));
  EXPECT_FALSE(tex->mipmaps);
  EXPECT_TRUE(HeadlessMessageBoxLog().empty());

  TextureTGASelectID(0);
  EXPECT_EQ(CapturedBoundTexture(), 0u);
  TextureTGASelectID(4);
  EXPECT_EQ(CapturedBoundTexture(), slot.TexID);
}

// Run-length packets: run then raw, and a run ending on the last pixel
// with bytes after it.
TEST_F(TgaTexture, RunLengthPacketsExpand) {
  struct Case {
    Bytes data;
    Bytes expected;
  };
  const Case cases[] = {
      {{0x82, 1, 2, 3, 0x00, 4, 5, 6}, {3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4}},
      {{0x01, 1, 2, 3, 4, 5, 6, 0x81, 7, 8, 9, 0xAA, 0xBB}, {3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7}},
  };
  for (const Case& c : cases) {
    TGATexture record;
    ASSERT_TRUE(LoadTGA(record, Write("rle.tga", Tga(10, 4, 1, 24, c.data)).c_str()));
    EXPECT_EQ(record.ImageData, c.expected);
    EXPECT_EQ(record.Typ, GL_RGB);
  }
  EXPECT_TRUE(HeadlessMessageBoxLog().empty());
}

// Every depth and compression the writers produce reads back as R, G, B
// (, A) in file order; packets cross row ends freely.
TEST_F(TgaTexture, EncodedPicturesReadBack) {
  RgbaImage picture = TestPicture(7, 5);
  for (int x = 1; x < 6; ++x) std::memcpy(picture.At(x, 2), picture.At(0, 2), 4);  // a run inside a row
  for (int bits : {24, 32})
    for (bool rle : {false, true})
      for (bool topLeft : {false, true}) {
        const std::string path = Write("p.tga", EncodeTGA(picture, {bits, rle, topLeft}));
        TGATexture record;
        ASSERT_TRUE(LoadTGA(record, path.c_str())) << bits << rle << topLeft;
        EXPECT_EQ(record.ImageData, Rows(picture, !topLeft, false, bits / 8)) << bits << rle << topLeft;
      }
}

// The origin bit is ignored: a top-left file goes up in file order, upside
// down against the bottom-left file of the same picture. 24-bit rows of an
// odd width reach GL padded, so the upload reads whole rows and no more.
TEST_F(TgaTexture, UploadKeepsFileOrderWhateverTheOrigin) {
  const RgbaImage picture = TestPicture(3, 4);
  TextureLoadTGAID(Write("bl.tga", EncodeTGA(picture, {24, false, false})).c_str(), 0);
  TextureLoadTGAID(Write("tl.tga", EncodeTGA(picture, {24, true, true})).c_str(), 1);
  const CapturedTexture* bottomLeft = CapturedTextureInfo(TextureTGA2[0].TexID);
  const CapturedTexture* topLeft = CapturedTextureInfo(TextureTGA2[1].TexID);
  ASSERT_NE(bottomLeft, nullptr);
  ASSERT_NE(topLeft, nullptr);
  EXPECT_EQ(bottomLeft->internalFormat, 3);
  EXPECT_EQ(bottomLeft->format, GL_RGB);
  EXPECT_EQ(bottomLeft->pixels, Rows(picture, true, false, 3));
  EXPECT_EQ(topLeft->pixels, Rows(picture, false, false, 3));
  EXPECT_EQ(CapturedState().pixelStore.at(GL_UNPACK_ALIGNMENT), 4);
}

TEST_F(TgaTexture, MipmapFilterBuildsTheChainInReadOrder) {
  GL_Min_Filter = GL_NEAREST_MIPMAP_NEAREST;
  TextureLoadTGAID(Write("m.tga", EncodeTGA(TestPicture(4, 4), {32, true, false})).c_str(), 2);
  const CapturedTexture* tex = CapturedTextureInfo(TextureTGA2[2].TexID);
  ASSERT_NE(tex, nullptr);
  EXPECT_TRUE(tex->mipmaps);
  const CapturedCall* mip = LastCall("gluBuild2DMipmaps");
  ASSERT_NE(mip, nullptr);
  EXPECT_EQ(mip->arg(1), 4);
  EXPECT_EQ(mip->arg(4), GL_RGBA);
}

// Each fault shows its one message and leaves the slot's earlier texture.
struct FaultCase {
  const char* name;
  Bytes file;
  const char* text;
  const char* caption;
};

class TgaFault : public TgaTexture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TgaFault, MessageAndSlotUnchanged) {
  const FaultCase& c = GetParam();
  TextureLoadTGAID(Write("good.tga", EncodeTGA(TestPicture(2, 2))).c_str(), 3);
  const GLuint before = TextureTGA2[3].TexID;
  ASSERT_NE(before, 0u);
  ClearCaptureLog();

  TextureLoadTGAID(Write("bad.tga", c.file).c_str(), 3);
  ExpectOneBox(c.text, c.caption);
  EXPECT_EQ(TextureTGA2[3].TexID, before);
  EXPECT_TRUE(TextureTGA2[3].ImageData.empty());
  EXPECT_TRUE(CaptureLog().empty());
  TextureTGASelectID(3);
  EXPECT_EQ(CapturedBoundTexture(), before);
}

Bytes Header(std::uint8_t type, int width, int height, int bits) {
  return {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
          static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(bits), 0};
}

Bytes With(Bytes head, std::size_t at, std::uint8_t value) {
  head[at] = value;
  return head;
}

Bytes Plus(Bytes head, const Bytes& data) {
  head.insert(head.end(), data.begin(), data.end());
  return head;
}

constexpr const char* kType = "TGA file be type 2 or type 10";

INSTANTIATE_TEST_SUITE_P(
    Files, TgaFault,
    ::testing::Values(
        FaultCase{"shorter_than_12", Bytes{0, 0, 2, 0, 0}, "Could not read file header", "ERROR"},
        FaultCase{"id_length_1", With(Header(2, 2, 2, 32), 0, 1), kType, "Invalid Image"},
        FaultCase{"colour_map", With(Header(2, 2, 2, 32), 1, 1), kType, "Invalid Image"},
        FaultCase{"grey_type_3", Header(3, 2, 2, 8), kType, "Invalid Image"},
        FaultCase{"rle_colour_mapped_type_9", Header(9, 2, 2, 8), kType, "Invalid Image"},
        FaultCase{"x_origin_1", With(Header(2, 2, 2, 32), 8, 1), kType, "Invalid Image"},
        FaultCase{"only_12_bytes", Bytes{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0}, "Could not read info header", "ERROR"},
        FaultCase{"width_0", Header(2, 0, 2, 24), "Invalid texture information", "ERROR"},
        FaultCase{"height_0", Header(10, 2, 0, 24), "Invalid texture information", "ERROR"},
        FaultCase{"sixteen_bits", Plus(Header(2, 2, 2, 16), Bytes(8, 0)), "Invalid texture information", "ERROR"},
        FaultCase{"larger_than_memory_allows", Header(2, 65535, 65535, 32), "Could not allocate memory for image",
                  "ERROR"},
        FaultCase{"uncompressed_pixels_short", Plus(Header(2, 2, 2, 24), Bytes(11, 7)), "Could not read image data",
                  "ERROR"},
        FaultCase{"packet_header_missing", Plus(Header(10, 4, 1, 24), {0x81, 1, 2, 3}), "Could not read RLE header",
                  "ERROR"},
        FaultCase{"raw_pixel_short", Plus(Header(10, 4, 1, 24), {0x02, 1, 2, 3, 4, 5, 6, 7}),
                  "Could not read image data", "ERROR"},
        FaultCase{"run_pixel_short", Plus(Header(10, 4, 1, 32), {0x83, 1, 2, 3}), "Could not read from file", "ERROR"},
        FaultCase{"run_past_the_image", Plus(Header(10, 4, 1, 24), {0x84, 1, 2, 3}), "Too many pixels read", "ERROR"},
        FaultCase{"raw_past_the_image", Plus(Header(10, 2, 1, 24), {0x00, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}),
                  "Too many pixels read", "ERROR"}),
    [](const auto& info) { return std::string(info.param.name); });

// "Too many pixels read" is raised before the fifth pixel is stored: the
// reader's record holds nothing afterwards and no texture is made.
TEST_F(TgaTexture, RunPastTheImageWritesNothing) {
  TGATexture record;
  EXPECT_FALSE(LoadTGA(record, Write("five.tga", Tga(10, 4, 1, 24, {0x84, 1, 2, 3})).c_str()));
  ExpectOneBox("Too many pixels read", "ERROR");
  EXPECT_TRUE(record.ImageData.empty());
  EXPECT_EQ(record.TexID, 0u);
  EXPECT_EQ(CallCount("glGenTextures"), 0);
}

TEST_F(TgaTexture, MissingFileIsSkippedSilently) {
  TextureLoadTGAID(Path("absent.tga").c_str(), 8);
  EXPECT_TRUE(HeadlessMessageBoxLog().empty());
  EXPECT_EQ(TextureTGA2[8].TexID, 0u);
  EXPECT_TRUE(CaptureLog().empty());
}

// Every cut of valid files fails with exactly one message and reads or
// writes nothing out of bounds (the sanitizer build checks the bounds).
TEST_F(TgaTexture, EveryTruncationFailsWithOneMessage) {
  const RgbaImage picture = TestPicture(5, 3);
  for (bool rle : {false, true}) {
    const Bytes whole = EncodeTGA(picture, {32, rle, false});
    for (std::size_t n = 0; n < whole.size(); ++n) {
      ResetPlatform();
      TGATexture record;
      const std::string path = Write("cut.tga", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)));
      EXPECT_FALSE(LoadTGA(record, path.c_str())) << n;
      EXPECT_EQ(HeadlessMessageBoxLog().size(), 1u) << n;
      EXPECT_TRUE(record.ImageData.empty()) << n;
    }
  }
}

TEST_F(TgaTexture, SlotOutsideTheTableIsARangeFault) {
  const std::string path = Write("a.tga", EncodeTGA(TestPicture(2, 2)));
  for (int slot : {-1, 201}) {
    EXPECT_THROW(TextureLoadTGAID(path.c_str(), slot), FaultRaised);
    EXPECT_THROW(TextureTGASelectID(slot), FaultRaised);
  }
  try {
    TextureTGASelectID(201);
  } catch (const FaultRaised& f) {
    EXPECT_EQ(f.kind, Fault::RangeCheck);
  }
}

}  // namespace
