#include "image/Imagereader.h"

#include <gtest/gtest.h>

#include "image/Imageerror.h"
#include "image/Imageheader.h"

namespace {

TEST(ReadImage, ReadsTheWordsAfterTheHeaderAndItsSizeField) {
  const LoadedImage image =
      ReadImage(ImageHeader(4) + std::string("\x01\x00\xff\x80\x07", 5), false);
  EXPECT_TRUE(image.HasHeader);
  EXPECT_EQ(image.SizeField, 4);
  EXPECT_TRUE(image.HeaderIsClean);
  EXPECT_EQ(image.Words, (std::vector<uint16_t>{0x0001, 0x80ff, 0x0007}));  // odd byte padded
  EXPECT_TRUE(image.OddLength);
}

TEST(ReadImage, TakesEveryByteOfARawImageAsWords) {
  const LoadedImage image = ReadImage(std::string("\x34\x12\x00\x80", 4), true);
  EXPECT_FALSE(image.HasHeader);
  EXPECT_EQ(image.Words, (std::vector<uint16_t>{0x1234, 0x8000}));
  EXPECT_FALSE(image.OddLength);
}

TEST(ReadImage, NotesHeaderBytesBesidesTheSizeField) {
  std::string bytes = ImageHeader(0);
  bytes[100] = 1;
  EXPECT_FALSE(ReadImage(bytes, false).HeaderIsClean);
}

TEST(ReadImage, RefusesWhatIsNoImage) {
  const struct {
    std::string bytes;
    bool raw;
    std::string message;
  } cases[] = {
      {"", false, "the file is empty"},
      {"", true, "the file is empty"},
      {std::string(511, '\0'), false,
       "the file has 511 bytes, fewer than the 512-byte header (--raw-input reads an image "
       "without header)"},
      {ImageHeader(8) + "1234567", false,
       "the header's size field says 8 bytes, but 7 bytes follow the header"},
  };
  for (const auto& c : cases) {
    try {
      ReadImage(c.bytes, c.raw);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const ImageError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

}  // namespace
