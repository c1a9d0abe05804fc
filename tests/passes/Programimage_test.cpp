#include "passes/Programimage.h"

#include <gtest/gtest.h>

#include <climits>

#include "passes/Passtestsupport.h"

namespace {

void AddWords(TMq71R04CompilerObject& job, const std::vector<std::string>& codes) {
  for (const std::string& code : codes) job.WorkTable->AddRow("f", "0", "", "", "", "", "", code);
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

// The whole file as it would be written.
std::string FileBytes(const ProgramImage& image) {
  std::string bytes = image.Head;
  for (int64_t i = 0; i < image.FillWordCount; ++i) {
    bytes.push_back(static_cast<char>(image.FillWord & 0xff));
    bytes.push_back(static_cast<char>(image.FillWord >> 8));
  }
  return bytes;
}

TEST(ProgramImage, HeaderThenLittleEndianWords) {
  TMq71R04CompilerObject job;
  AddWords(job, {"1", "2", "65535"});
  const std::string file = FileBytes(BuildProgramImage(job));
  ASSERT_EQ(file.size(), 518u);
  EXPECT_EQ(file.substr(0, 4), Bytes({0, 0, 6, 0}));
  EXPECT_EQ(file.substr(4, 508), std::string(508, '\0'));
  EXPECT_EQ(file.substr(512), Bytes({1, 0, 2, 0, 0xff, 0xff}));
}

TEST(ProgramImage, RawImageHasNoHeader) {
  TMq71R04CompilerObject job;
  job.RawImage = true;
  AddWords(job, {"1", "2", "65535"});
  EXPECT_EQ(FileBytes(BuildProgramImage(job)), Bytes({1, 0, 2, 0, 0xff, 0xff}));
}

TEST(ProgramImage, ChecksumFollowsTheWordsAndCountsInTheSizeField) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "sum";
  AddWords(job, {"1", "2", "65535"});
  const ProgramImage image = BuildProgramImage(job);
  const std::string file = FileBytes(image);
  ASSERT_EQ(file.size(), 522u);
  EXPECT_EQ(file.substr(2, 2), Bytes({10, 0}));
  EXPECT_EQ(file.substr(518), Bytes({0x01, 0x02, 0, 0}));
  EXPECT_EQ(image.Checksum, 513u);
}

TEST(ProgramImage, WordTextsAreReadAsNumbers) {
  TMq71R04CompilerObject job;
  job.RawImage = true;
  AddWords(job, {"0011000001100001b", "4660", "not a number", "70000", "-1"});
  EXPECT_EQ(FileBytes(BuildProgramImage(job)),
            Bytes({0x61, 0x30, 0x34, 0x12, 0xff, 0xff, 0x70, 0x11, 0xff, 0xff}));
}

// Texts of an instruction word's length that are not sixteen binary digits and "b" are read by
// the general number rules, as are binary texts of other lengths.
TEST(ProgramImage, WordLengthTextsFollowTheNumberRules) {
  TMq71R04CompilerObject job;
  job.RawImage = true;
  AddWords(job, {
                    "1111111111111111b",     // all ones
                    "0000000000000002b",     // a digit outside base 2: no number
                    "b000000000000001b",     // "b" twice: no suffix, and no decimal number
                    " 000000000000001b",     // a blank is no binary digit
                    "00000000000000011",     // no suffix: decimal 11
                    "000000000000000101b",   // longer binary: 5
                    "1000000000000000011b",  // beyond 16 bits: the low 16 bits, 3
                    "0000000000000001h",     // hexadecimal 1
                });
  EXPECT_EQ(FileBytes(BuildProgramImage(job)),
            Bytes({0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 11, 0, 5, 0, 3, 0, 1, 0}));
}

// Each digit of a word text lands in its own bit, and a byte other than '0' or '1' anywhere in
// either half makes the text no word (a "b" inside, or a character just beside '0' and '1').
TEST(ProgramImage, EveryDigitOfAWordIsItsOwnBit) {
  TMq71R04CompilerObject job;
  job.RawImage = true;
  std::string expected;
  for (int bit = 0; bit < 16; ++bit) {
    std::string digits(16, '0');
    digits[15 - bit] = '1';
    AddWords(job, {digits + "b"});
    expected += Bytes({(1 << bit) & 0xff, (1 << bit) >> 8});
  }
  for (size_t place : {0u, 7u, 8u, 15u}) {
    for (char wrong : {'/', '2', 'b', '\0', '\xb1'}) {
      std::string digits(16, '1');
      digits[place] = wrong;
      AddWords(job, {digits + "b"});
      expected += Bytes({0xff, 0xff});
    }
  }
  AddWords(job, {"1010010111000011b"});
  expected += Bytes({0xc3, 0xa5});
  EXPECT_EQ(FileBytes(BuildProgramImage(job)), expected);
}

struct FillCase {
  const char* name;
  bool raw;
  int32_t limit;
  std::string handler;
  std::string handlerAddress;
  size_t expectedSize;
  uint16_t expectedFillWord;
};

void PrintTo(const FillCase& c, std::ostream* os) {
  *os << c.name;
}

class FillWordCase : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillWordCase, FillsUpToTheLimit) {
  const FillCase& c = GetParam();
  TMq71R04CompilerObject job;
  job.RawImage = c.raw;
  job.ImageSizeLimit = c.limit;
  job.MalfunctionHandler = c.handler;
  job.MalfunctionHandlerAddress = c.handlerAddress;
  AddWords(job, {"1", "2"});
  const ProgramImage image = BuildProgramImage(job);
  const std::string file = FileBytes(image);
  EXPECT_EQ(file.size(), c.expectedSize);
  EXPECT_EQ(image.Size(), static_cast<int64_t>(c.expectedSize));
  const size_t programEnd = (c.raw ? 0 : 512) + 4;
  for (size_t at = programEnd; at + 1 < file.size(); at += 2) {
    EXPECT_EQ(static_cast<unsigned char>(file[at]), c.expectedFillWord & 0xff) << "offset " << at;
    EXPECT_EQ(static_cast<unsigned char>(file[at + 1]), c.expectedFillWord >> 8) << "offset " << at;
  }
}

const FillCase kFillCases[] = {
    {"RawJumpsToZero", true, 16, "", "", 16, 0x8000},
    {"LimitCountsAfterHeader", false, 16, "", "", 528, 0x8000},
    {"OddDistanceEndsOneBytePast", true, 5, "", "", 6, 0x8000},
    {"LimitBelowProgramNeverShortens", true, 2, "", "", 4, 0},
    {"JumpToHandler", true, 8, "panic", "0000000011", 8, 0x8003},
    {"UndefinedHandlerJumpsToZero", true, 8, "panic", "", 8, 0x8000},
    {"NegativeLimitFillsNothing", true, -1, "", "", 4, 0},
};

INSTANTIATE_TEST_SUITE_P(ProgramImage, FillWordCase, ::testing::ValuesIn(kFillCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramImage, HeaderIsAddedToTheLimitInPlace) {
  TMq71R04CompilerObject job;
  job.ImageSizeLimit = 16;
  BuildProgramImage(job);
  EXPECT_EQ(job.ImageSizeLimit, 528);
  TMq71R04CompilerObject raw;
  raw.RawImage = true;
  raw.ImageSizeLimit = 16;
  BuildProgramImage(raw);
  EXPECT_EQ(raw.ImageSizeLimit, 16);
}

TEST(ProgramImage, LimitWrapsAsSigned32Bits) {
  TMq71R04CompilerObject job;
  job.ImageSizeLimit = INT32_MAX;
  const ProgramImage image = BuildProgramImage(job);
  EXPECT_EQ(job.ImageSizeLimit, INT32_MIN + 511);
  EXPECT_EQ(image.FillWordCount, 0);
  EXPECT_EQ(image.Size(), 512);
}

TEST(ProgramImage, LargeLimitIsCountedNotBuffered) {
  TMq71R04CompilerObject job;
  job.RawImage = true;
  job.ImageSizeLimit = INT32_MAX;
  AddWords(job, {"1"});
  const ProgramImage image = BuildProgramImage(job);
  EXPECT_EQ(image.Head.size(), 2u);
  EXPECT_EQ(image.FillWordCount, (int64_t{INT32_MAX} - 2 + 1) / 2);
  EXPECT_EQ(image.Size(), int64_t{INT32_MAX} + 1);
}

TEST(ProgramImage, EmptyTable) {
  TMq71R04CompilerObject job;
  EXPECT_EQ(FileBytes(BuildProgramImage(job)), std::string(512, '\0'));
  TMq71R04CompilerObject withChecksum;
  withChecksum.ChecksumLabel = "sum";
  const std::string file = FileBytes(BuildProgramImage(withChecksum));
  ASSERT_EQ(file.size(), 516u);
  EXPECT_EQ(file.substr(0, 4), Bytes({0, 0, 4, 0}));
  EXPECT_EQ(file.substr(512), Bytes({0, 0, 0, 0}));
}

TEST(ProgramImage, SizeFieldKeepsLowSixteenBits) {
  TMq71R04CompilerObject job;
  job.ChecksumLabel = "sum";
  for (int i = 0; i < 32768; ++i) job.WorkTable->AddRow("f", "0", "", "", "", "", "", "255");
  const ProgramImage image = BuildProgramImage(job);
  EXPECT_EQ(image.Head.substr(2, 2), Bytes({4, 0}));  // 65540 & 0xffff
  EXPECT_EQ(image.Checksum, 32768u * 255u);
}

}  // namespace
