// The PNG writer: what it writes reads back through libpng pixel for pixel.
// (The BMP and TGA writers are read back by the loaders' own tests.)
#include <gtest/gtest.h>
#include <png.h>

#include "texture_fixture.h"

namespace {

TEST(ImageWrite, PngReadsBackThroughLibpng) {
  const RgbaImage picture = TestPicture(5, 3);
  const Bytes png = EncodePNG(picture);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
  image.format = PNG_FORMAT_RGBA;
  EXPECT_EQ(image.width, 5u);
  EXPECT_EQ(image.height, 3u);
  Bytes pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(pixels, picture.rgba);
}

TEST(ImageWrite, RefusesImagesWhoseSizeDoesNotMatch) {
  RgbaImage picture = TestPicture(2, 2);
  picture.rgba.pop_back();
  EXPECT_THROW(EncodeBMP(picture), std::invalid_argument);
  EXPECT_THROW(EncodeTGA(picture), std::invalid_argument);
  EXPECT_THROW(EncodePNG(picture), std::invalid_argument);
}

}  // namespace
