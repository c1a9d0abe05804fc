#include "image/Imagelayout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
  const char* what;
  std::vector<uint16_t> words;
  int sizeField;  // -1: a raw image
  size_t program;
  bool checksum;
  size_t fill;
  int target;  // when there is fill
  size_t foreign;
};

// 0x0201 and 0x0000 hold the byte sum 0x201 of the words 0x0001, 0x0002, 0xffff (1 + 2 + 2 * 255);
// 0x8001 jumps to address 1, 0x8000 to 0.
TEST(AnalyseLayout, FindsProgramChecksumAndFill) {
  const std::vector<uint16_t> summed = {0x0001, 0x0002, 0xffff, 0x0201, 0x0000};
  const auto with = [&summed](std::vector<uint16_t> tail) {
    std::vector<uint16_t> words = summed;
    words.insert(words.end(), tail.begin(), tail.end());
    return words;
  };
  const LayoutCase cases[] = {
      {"size field, checksum", summed, 10, 3, true, 0, {}, 0},
      {"size field, no checksum", summed, 8, 4, false, 0, {}, 1},
      {"fill to address 1", with({0x8001, 0x8001}), 10, 3, true, 2, 1, 0},
      {"fill to the checksum", with({0x8003}), 10, 3, true, 1, 3, 0},
      {"fill beyond the program", with({0x8004}), 10, 3, true, 0, {}, 1},
      {"no jumps after the program", with({0x0020}), 10, 3, true, 0, {}, 1},
      {"unequal words after the program", with({0x8000, 0x8001}), 10, 3, true, 0, {}, 2},
      {"raw: fill and checksum", with({0x8000, 0x8000}), -1, 3, true, 2, 0, 0},
      {"raw: one jump is the program's", with({0x8000}), -1, 6, false, 0, {}, 0},
      {"raw: fill to nowhere is program", with({0x8009, 0x8009}), -1, 7, false, 0, {}, 0},
  };
  for (const LayoutCase& c : cases) {
    LoadedImage image;
    image.HasHeader = c.sizeField >= 0;
    image.SizeField = static_cast<uint16_t>(std::max(c.sizeField, 0));
    image.Words = c.words;
    const ImageLayout layout = AnalyseLayout(image);
    EXPECT_EQ(layout.ProgramWords, c.program) << c.what;
    EXPECT_EQ(layout.HasChecksum, c.checksum) << c.what;
    EXPECT_EQ(layout.FillWords, c.fill) << c.what;
    if (c.fill > 0) {
      EXPECT_EQ(layout.FillTarget, c.target) << c.what;
    }
    EXPECT_EQ(layout.ForeignWords, c.foreign) << c.what;
  }
}

}  // namespace
