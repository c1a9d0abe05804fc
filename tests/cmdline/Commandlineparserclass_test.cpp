#include "cmdline/Commandlineparserclass.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "driver/Compilerobject.h"
#include "support/Testsupport.h"

namespace {

namespace fs = std::filesystem;
using Job = TMq71R04CompilerObject;
using Strings = std::vector<std::string>;

// ---- NextOption: one option taken from the remainder ------------------------------------

struct SplitCase {
  std::string typed;
  std::string key;
  Strings values;
  std::string remains;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << '"' << c.typed << '"';
}

class NextOptionTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(NextOptionTest, SplitsKeyValuesAndRemainder) {
  TCommandLineParser parser;
  parser.SetRemainder(GetParam().typed);
  std::string key = "stale";
  Strings values = {"stale"};
  parser.NextOption(key, values);
  EXPECT_EQ(key, GetParam().key);
  EXPECT_EQ(values, GetParam().values);
  EXPECT_EQ(parser.Remainder(), GetParam().remains);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NextOptionTest,
    ::testing::Values(
        SplitCase{"-sl=a.asm b.asm -tl", "sl", {"a.asm", "b.asm"}, "-tl"},
        SplitCase{"-of = x.bin", "of", {"x.bin"}, ""}, SplitCase{"-tl -tc", "tl", {}, "-tc"},
        SplitCase{"-sl a.asm -tl", "sl", {}, "a.asm -tl"}, SplitCase{"-is=12", "is", {"12"}, ""},
        SplitCase{"-of=my-out.bin", "of", {"my"}, "-out.bin"},
        SplitCase{"-out.bin", "out.bin", {}, ""}, SplitCase{"-tl=x=y", "tl", {"x=y"}, ""}));

INSTANTIATE_TEST_SUITE_P(
    FormA, NextOptionTest,  // another "-" follows with no "=" before it
    ::testing::Values(SplitCase{"-tl  -tc", "tl", {}, " -tc"},   // an empty argument
                      SplitCase{"-tl\t-tc", "", {}, "tl\t-tc"},  // a tab is no blank
                      SplitCase{"-a-b", "", {}, "a-b"}, SplitCase{"--tc", "", {}, "-tc"},
                      SplitCase{"-tl-x y -of=z", "tl-x", {}, "y -of=z"},  // key ends at the blank
                      SplitCase{"-tl -of=z", "tl", {}, "-of=z"}));

INSTANTIATE_TEST_SUITE_P(
    FormB, NextOptionTest,  // "=" before the next "-", or no further "-"
    ::testing::Values(SplitCase{"-sl a.asm", "sl a.asm", {}, ""},  // last option, no "="
                      SplitCase{"-tc", "tc", {}, ""}, SplitCase{"-", "", {}, ""},
                      SplitCase{"-of=", "of", {}, ""}, SplitCase{"-of= -tl", "of", {}, "-tl"},
                      SplitCase{"-=a", "", {"a"}, ""}, SplitCase{"-s l=x", "s l", {"x"}, ""},
                      SplitCase{"-sl=a.asm   b.asm", "sl", {"a.asm", "b.asm"}, ""},
                      SplitCase{"-sl=a.asm\tb.asm", "sl", {"a.asm\tb.asm"}, ""},
                      SplitCase{"-sl=a.asm \t b.asm", "sl", {"a.asm", "b.asm"}, ""},
                      SplitCase{"-sl=a b=c -x", "sl", {"a", "b=c"}, "-x"},
                      SplitCase{"-ip=x -sl=y", "ip", {"x"}, "-sl=y"}));

// Stray text keeps the values of the previous option untouched.
INSTANTIATE_TEST_SUITE_P(StrayText, NextOptionTest,
                         ::testing::Values(SplitCase{"a.asm -tl", " a.asm", {"stale"}, "-tl"},
                                           SplitCase{" -tc", " ", {"stale"}, "-tc"},
                                           SplitCase{"foo", " foo", {"stale"}, ""},
                                           SplitCase{"foo bar", " foo bar", {"stale"}, ""},
                                           SplitCase{"x=1 -tl", " x=1", {"stale"}, "-tl"}));

TEST(NextOption, EmptyRemainderGivesAnEmptyKey) {
  TCommandLineParser parser;
  std::string key = "stale";
  Strings values = {"stale"};
  parser.NextOption(key, values);
  EXPECT_EQ(key, "");
  EXPECT_TRUE(values.empty());
}

TEST(NextOption, SuccessiveCallsWalkTheWholeLine) {
  TCommandLineParser parser;
  parser.SetRemainder("foo -sl a.asm -tl=1 -of=my-out.bin");
  std::vector<std::pair<std::string, Strings>> taken;
  std::string key;
  Strings values;
  while (!parser.Remainder().empty()) {
    parser.NextOption(key, values);
    taken.emplace_back(key, values);
  }
  const std::vector<std::pair<std::string, Strings>> expected = {
      {" foo", {}}, {"sl", {}}, {" a.asm", {}}, {"tl", {"1"}}, {"of", {"my"}}, {"out.bin", {}}};
  EXPECT_EQ(taken, expected);
}

// Note [linear option scan]: with no blank and one "=" at the very end, every step would search
// the rest of the line for both if it started afresh each time, which takes minutes here.
TEST(NextOption, AVeryLongLineIsTakenApartInLinearTime) {
  const int repetitions = 1000000;
  const auto started = std::chrono::steady_clock::now();
  std::string line;
  for (int i = 0; i < repetitions; ++i) line += "-a";
  line += "-b=1";
  TCommandLineParser parser;
  parser.SetRemainder(line);
  std::string key;
  Strings values;
  int steps = 0;
  while (!parser.Remainder().empty()) {
    parser.NextOption(key, values);
    ++steps;
  }
  EXPECT_EQ(key, "b");
  EXPECT_EQ(values, Strings{"1"});
  EXPECT_EQ(steps, 2 * repetitions + 1);  // "-" with an empty key, then " a", for each "-a"
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

// Every step consumes something, whatever the text, so the option loop always ends.
TEST(NextOption, EveryStepShortensTheRemainder) {
  const std::string alphabet = std::string("-= \tab\0", 8);
  std::mt19937 random(71);
  for (int trial = 0; trial < 20000; ++trial) {
    std::string line;
    const size_t length = random() % 12 + 1;
    for (size_t i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
    TCommandLineParser parser;
    parser.SetRemainder(line);
    std::string key;
    Strings values;
    while (!parser.Remainder().empty()) {
      const size_t before = parser.Remainder().size();
      parser.NextOption(key, values);
      ASSERT_LT(parser.Remainder().size(), before) << "stuck on \"" << line << '"';
      for (const std::string& value : values) {
        EXPECT_FALSE(value.empty());
        EXPECT_EQ(value.find_first_of("- "), std::string::npos);
      }
    }
  }
}

// ---- Parse: the whole command line ------------------------------------------------------

int ParseArguments(Job& job, const Strings& arguments) {
  std::vector<const char*> argv = {"mq71asm"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  TCommandLineParser parser;
  return parser.Parse(static_cast<int>(argv.size()), argv.data(), job);
}

std::string Lines(const Strings& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string UsageText() {
  Job reference;
  reference.PrintUsage();
  return reference.Out.Captured();
}

// Every test runs in a fresh start directory holding "start.asm", "lib/" and "proj/", where the
// project holds "main.asm", "second.asm" and the directory "sub/".
class ParseTest : public ::testing::Test {
 protected:
  ParseTest() : scope_(start_.Path()) {
    WriteFile(start_.Path() / "start.asm", "");
    fs::create_directories(start_.Path() / "lib");
    WriteFile(Project() / "main.asm", "");
    WriteFile(Project() / "second.asm", "");
    fs::create_directories(Project() / "sub");
  }
  fs::path Start() const { return start_.Path(); }
  fs::path Project() const { return start_.Path() / "proj"; }
  std::string RootOption() const { return "-rd=" + Project().string(); }

  TemporaryDirectory start_;
  CurrentDirectoryScope scope_;
  Job job_;
};

TEST_F(ParseTest, NoArgumentsPrintUsageOnly) {
  EXPECT_EQ(ParseArguments(job_, {}), 1);
  EXPECT_EQ(job_.Out.Captured(), UsageText());
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Start()));
}

TEST_F(ParseTest, BlankArgumentsPrintUsageOnly) {
  EXPECT_EQ(ParseArguments(job_, {"", " ", "\t"}), 1);
  EXPECT_EQ(job_.Out.Captured(), UsageText());
}

TEST_F(ParseTest, RootDirAloneSucceedsWithAllDefaults) {
  EXPECT_EQ(ParseArguments(job_, {RootOption()}), 0);
  EXPECT_EQ(job_.Out.Captured(), "");
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Project()));
  EXPECT_EQ(job_.RootDir, Project().string());
  EXPECT_EQ(job_.OutputFileName, "");
  EXPECT_EQ(job_.ListFileName, "");
  EXPECT_EQ(job_.ChecksumLabel, "");
  EXPECT_EQ(job_.MalfunctionHandler, "");
  EXPECT_EQ(job_.ImageSizeLimit, 0);
  EXPECT_FALSE(job_.TraceLines || job_.PrintTime || job_.ImageInfo || job_.RawImage);
  EXPECT_TRUE(job_.SourceFiles->empty());
  EXPECT_TRUE(job_.LibraryDirs->empty());
}

TEST_F(ParseTest, RelativeRootDirIsTakenFromTheStartDirectory) {
  EXPECT_EQ(ParseArguments(job_, {"-rd=proj", "-sl=main.asm"}), 0);
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Project()));
  EXPECT_EQ(job_.RootDir, "proj");
}

TEST_F(ParseTest, EveryOptionTogether) {
  EXPECT_EQ(
      ParseArguments(job_, {"-tl", "-tc", "-oi", "-ro", "-cs=chk", "-of=image.bin", "-mh=panic",
                            "-is=$200", "-lf", RootOption(), "-sl=main.asm second.asm", "-ip=lib"}),
      0);
  EXPECT_EQ(job_.Out.Captured(), "");
  EXPECT_TRUE(job_.TraceLines && job_.PrintTime && job_.ImageInfo && job_.RawImage);
  EXPECT_EQ(job_.ChecksumLabel, "chk");
  EXPECT_EQ(job_.OutputFileName, "image.bin");
  EXPECT_EQ(job_.MalfunctionHandler, "panic");
  EXPECT_EQ(job_.ImageSizeLimit, 512);
  EXPECT_EQ(job_.ListFileName, "list.txt");
  EXPECT_EQ(*job_.SourceFiles, (Strings{"main.asm", "second.asm"}));
}

TEST_F(ParseTest, MissingRootDirIsReportedWithEmptyQuotes) {
  EXPECT_EQ(ParseArguments(job_, {"-tl"}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid root project dir \"\""}));
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Start()));
}

TEST_F(ParseTest, RootDirThatIsAFileCannotBeEntered) {
  EXPECT_EQ(ParseArguments(job_, {"-rd=start.asm", "-sl=nothing.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid root project dir \"start.asm\""}));
}

TEST_F(ParseTest, MisusedRootDirStopsQuietlyAfterLibraryDirs) {
  EXPECT_EQ(ParseArguments(job_, {"-rd", "-ip=nolib", "-sl=missing.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(),
            Lines({"Key option \"-rd\" must have one value.", "Invalid library dir \"nolib\""}));
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Start()));
}

TEST_F(ParseTest, RootDirLiterallyNamedLikeTheMarkerStopsWithoutAMessage) {
  fs::create_directories(Start() / "E_INVALID");
  EXPECT_EQ(ParseArguments(job_, {"-rd=E_INVALID", "-sl=missing.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(), "");
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Start()));
}

TEST_F(ParseTest, SourceFilesAreCheckedFromTheRoot) {
  // start.asm exists in the start directory only; sub is a directory.
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-sl=main.asm start.asm sub missing.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(),
            Lines({"Invalid source file \"start.asm\"", "Invalid source file \"sub\"",
                   "Invalid source file \"missing.asm\""}));
}

TEST_F(ParseTest, AbsoluteSourceFileOutsideTheRoot) {
  const std::string outside = (Start() / "start.asm").string();
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-sl=" + outside}), 0);
  EXPECT_EQ(*job_.SourceFiles, Strings{outside});
}

TEST_F(ParseTest, RelativeLibraryDirsAreResolvedAgainstTheStartDirectory) {
  fs::create_directories(Project() / "rootlib");
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-ip=lib rootlib lib"}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid library dir \"rootlib\""}));
  ASSERT_EQ(job_.LibraryDirs->size(), 3u);
  EXPECT_TRUE(fs::path((*job_.LibraryDirs)[0]).is_absolute());
  EXPECT_TRUE(fs::equivalent((*job_.LibraryDirs)[0], Start() / "lib"));
  EXPECT_TRUE(fs::equivalent((*job_.LibraryDirs)[2], Start() / "lib"));
  EXPECT_TRUE(fs::is_directory((*job_.LibraryDirs)[0]));  // seen from the root, too
}

TEST_F(ParseTest, AbsoluteLibraryDirIsKeptAsGiven) {
  const std::string absolute = (Start() / "lib").string();
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-ip=" + absolute}), 0);
  EXPECT_EQ(*job_.LibraryDirs, Strings{absolute});
}

TEST_F(ParseTest, LibraryDirThatIsAFileIsReported) {
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-ip=start.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid library dir \"start.asm\""}));
}

TEST_F(ParseTest, MessagesComeInTheirFixedOrder) {
  EXPECT_EQ(ParseArguments(job_, {"foo", "-tl=1", "-xx", "-sl=missing.asm", "-ip=nolib1 nolib2",
                                  "-rd=nowhere"}),
            1);
  EXPECT_EQ(job_.Out.Captured(),
            Lines({"Invalid option key \" foo\"", "Key option \"-tl\" must don't have values.",
                   "Invalid option key \"xx\"", "Invalid library dir \"nolib1\"",
                   "Invalid library dir \"nolib2\"", "Invalid root project dir \"nowhere\""}));
}

TEST_F(ParseTest, MisuseUnknownKeyAndMissingSourceAreAllReported) {
  EXPECT_EQ(ParseArguments(job_, {"-tl=1", "-xx", RootOption(), "-sl=missing.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(),
            Lines({"Key option \"-tl\" must don't have values.", "Invalid option key \"xx\"",
                   "Invalid source file \"missing.asm\""}));
  EXPECT_TRUE(fs::equivalent(job_.Files.Files().BaseDirectory(), Project()));
}

TEST_F(ParseTest, ValuesAfterABlankInsteadOfEqualsSign) {
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-sl", "main.asm"}), 1);
  // Being the last option, "-sl main.asm" is one key.
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid option key \"sl main.asm\""}));
}

TEST_F(ParseTest, ValuesAfterABlankBeforeAnotherOption) {
  EXPECT_EQ(ParseArguments(job_, {"-sl", "main.asm", RootOption()}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Key option \"-sl\" must have one or more value.",
                                        "Invalid option key \" main.asm\""}));
}

TEST_F(ParseTest, EmptyArgumentBetweenOptionsIsALoneBlankKey) {
  EXPECT_EQ(ParseArguments(job_, {"-tl", "", RootOption()}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid option key \" \""}));
}

TEST_F(ParseTest, BareFileNameAloneIsOneInvalidKey) {
  EXPECT_EQ(ParseArguments(job_, {"main.asm"}), 1);
  EXPECT_EQ(job_.Out.Captured(),
            Lines({"Invalid option key \" main.asm\"", "Invalid root project dir \"\""}));
}

TEST_F(ParseTest, ValueWithADashIsCutThere) {
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-of=my-out.bin"}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Invalid option key \"out.bin\""}));
  EXPECT_EQ(job_.OutputFileName, "my");
}

TEST_F(ParseTest, EqualsSignWithNothingAfterIt) {
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-of=", "-lf="}), 0);
  EXPECT_EQ(job_.OutputFileName, "out.bin");
  EXPECT_EQ(job_.ListFileName, "list.txt");
  Job other;
  EXPECT_EQ(ParseArguments(other, {RootOption(), "-sl="}), 1);
  EXPECT_EQ(other.Out.Captured(), Lines({"Key option \"-sl\" must have one or more value."}));
}

TEST_F(ParseTest, ImageSizeWithTwoValues) {
  EXPECT_EQ(ParseArguments(job_, {RootOption(), "-is=1", "2"}), 1);
  EXPECT_EQ(job_.Out.Captured(), Lines({"Key option \"-is\" must have one integer value."}));
}

}  // namespace
