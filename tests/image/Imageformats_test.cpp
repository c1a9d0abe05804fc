#include "image/Imageformats.h"

#include <gtest/gtest.h>

#include "image/Imageconversion.h"
#include "image/Imageerror.h"
#include "image/Imageheader.h"

namespace {

// Three words of a raw image: 0x0001, 0x8000, 0xABCD.
const std::string Raw("\x01\x00\x00\x80\xcd\xab", 6);

std::string Convert(std::string_view format, std::optional<size_t> depth = {}) {
  return ConvertImage(Raw, {FindImageFormat(format), true, depth});
}

TEST(ImageFormats, WriteEveryFormat) {
  const struct {
    std::string_view format;
    std::string text;
  } cases[] = {
      {"vmem", "0001\n8000\nABCD\n"},
      {"vmemb", "0000000000000001\n1000000000000000\n1010101111001101\n"},
      {"ihex", ":0600000001000080CDAB01\n:00000001FF\n"},
      {"mif",
       "WIDTH=16;\nDEPTH=3;\nADDRESS_RADIX=HEX;\nDATA_RADIX=HEX;\nCONTENT BEGIN\n"
       "\t0000 : 0001;\n\t0001 : 8000;\n\t0002 : ABCD;\nEND;\n"},
      {"coe",
       "memory_initialization_radix=16;\nmemory_initialization_vector=\n0001,\n8000,\nABCD;\n"},
      {"raw", Raw},
      {"bin", ImageHeader(6) + Raw},  // the raw image's program: its three words
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(c.format), c.text) << c.format;
  EXPECT_EQ(ImageFormats().size(), std::size(cases));
  EXPECT_EQ(FindImageFormat("hex"), nullptr);
}

TEST(ImageFormats, PadToTheDepthWithZeroWords) {
  EXPECT_EQ(Convert("vmem", 5), "0001\n8000\nABCD\n0000\n0000\n");
  try {
    Convert("vmem", 2);
    ADD_FAILURE() << "an image longer than the depth was cut";
  } catch (const ImageError& error) {
    EXPECT_STREQ(error.what(), "the image has 3 words, more than the depth of 2");
  }
}

// Beyond 64 KiB the upper half of the byte address goes into an extended linear address record.
TEST(ImageFormats, IntelHexSetsTheUpperAddressBeyond64KiB) {
  const std::string text = Convert("ihex", 0x8008);
  const std::string zeros(32, '0');
  const std::string boundary =
      ":10FFF000" + zeros + "01\n:020000040001F9\n:10000000" + zeros + "F0\n:00000001FF\n";
  ASSERT_GE(text.size(), boundary.size());
  EXPECT_EQ(text.substr(text.size() - boundary.size()), boundary);
}

}  // namespace
