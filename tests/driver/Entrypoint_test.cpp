#include "driver/Entrypoint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/Testsupport.h"

namespace {

// ---- the time line's number ---------------------------------------------------------------

struct SecondsCase {
  uint32_t elapsedMs;
  std::string text;
};

void PrintTo(const SecondsCase& c, std::ostream* os) {
  *os << c.elapsedMs << " ms";
}

class FormatSecondsTest : public ::testing::TestWithParam<SecondsCase> {};

TEST_P(FormatSecondsTest, SixSignificantDigitsInFixedNotation) {
  EXPECT_EQ(FormatSeconds(GetParam().elapsedMs), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, FormatSecondsTest,
                         ::testing::Values(SecondsCase{16, "0.016"}, SecondsCase{1500, "1.5"},
                                           SecondsCase{0, "0"}, SecondsCase{1234567, "1234.57"}));

INSTANTIATE_TEST_SUITE_P(Small, FormatSecondsTest,
                         ::testing::Values(SecondsCase{1, "0.001"}, SecondsCase{10, "0.01"},
                                           SecondsCase{100, "0.1"}, SecondsCase{1000, "1"},
                                           SecondsCase{1001, "1.001"},
                                           SecondsCase{999999, "999.999"},
                                           SecondsCase{100000, "100"}));

// Rounding to single precision first: 1000.005 becomes 1000.0050048828125, so the sixth digit
// rounds up; in double precision it would read 1000.
INSTANTIATE_TEST_SUITE_P(SinglePrecision, FormatSecondsTest,
                         ::testing::Values(SecondsCase{1000005, "1000.01"},
                                           SecondsCase{1000045, "1000.04"}));

// Large values stay in fixed notation, rounded to six significant digits.
INSTANTIATE_TEST_SUITE_P(Large, FormatSecondsTest,
                         ::testing::Values(SecondsCase{12345678, "12345.7"},
                                           SecondsCase{123456789, "123457"},
                                           SecondsCase{999999500, "1000000"},
                                           SecondsCase{1000000000, "1000000"},
                                           SecondsCase{4294967295u, "4294970"}));

// ---- the whole run, up to the point where the passes would start --------------------------

struct Captured {
  std::string out;
  std::string err;
  int status;
};

std::string ReadBack(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, count);
  return text;
}

Captured RunWith(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv = {"mq71asm"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Captured result;
  result.status = RunTranslator(static_cast<int>(argv.size()), argv.data(), out, err);
  result.out = ReadBack(out);
  result.err = ReadBack(err);
  std::fclose(out);
  std::fclose(err);
  return result;
}

TEST(RunTranslator, NoArgumentsShowTheUsageAndFail) {
  const Captured run = RunWith({});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.substr(0, 47), "\nMq71R04 Processor Core assembler translator.\r\n");
  EXPECT_EQ(run.err, "");
}

TEST(RunTranslator, RejectedCommandLineFailsWithoutTimeLine) {
  const Captured run = RunWith({"-tc", "-xx"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Invalid option key \"xx\"\r\nInvalid root project dir \"\"\r\n");
  EXPECT_EQ(run.err, "");
}

// Only a run that wrote every output it was asked for succeeds.
TEST(RunTranslator, ExitStatusTellsWhetherEveryOutputWasWritten) {
  TemporaryDirectory directory;
  const std::string root = directory.Path().string();
  WriteFile(directory.Path() / "good.asm", "nop\n");
  WriteFile(directory.Path() / "bad.asm", "mov a0\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
  };
  const Case cases[] = {
      {{"-rd=" + root, "-sl=good.asm", "-of=out.bin", "-lf"}, 0},
      {{"-rd=" + root, "-sl=bad.asm", "-of=out.bin"}, 1},      // a pass fails
      {{"-rd=" + root, "-sl=good.asm"}, 1},                    // no image name: an exception
      {{"-rd=" + root, "-sl=good.asm", "-of=good.asm"}, 1},    // the image would replace a source
      {{"-rd=" + root, "-sl=good.asm", "-of=x", "-lf=x"}, 1},  // the image and listing clash
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunWith(c.arguments).status, c.status) << c.arguments.back();
  }
  EXPECT_EQ(ReadFile(directory.Path() / "good.asm"), "nop\n");
}

TEST(RunTranslator, StandardOutputThatRefusesTheMessagesFailsTheRun) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  std::FILE* err = std::tmpfile();
  const char* argv[] = {"mq71asm", "-xx"};
  EXPECT_EQ(RunTranslator(2, argv, full, err), 1);
  EXPECT_EQ(ReadBack(err), "Cannot write standard output\n");
  std::fclose(full);
  std::fclose(err);
}

}  // namespace
