#include "preprocessor/Sourcereader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "driver/Compilerobject.h"
#include "preprocessor/Calldumps.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

using Lines = std::vector<std::string>;

std::string Read(const std::string& name) {
  TMq71R04CompilerObject job;
  CallDumps dumps(job);
  return ReadSourceFile(dumps, name);
}

TEST(SourceLines, EndsLinesAtCrLfLfAndLoneCr) {
  struct Case {
    std::string bytes;
    Lines expected;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\n", {"a"}},
      {"a\r", {"a"}},
      {"\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then a lone CR: two line ends
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\n", {"a", ""}},
      {"x\ty\f\v", {"x\ty\f\v"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SourceLines(c.bytes), c.expected) << "input of " << c.bytes.size() << " bytes";
  }
}

TEST(SourceLines, KeepsNulAndHighBytesAsOrdinaryCharacters) {
  const std::string bytes("a\0b\n\xff\xfe\0\r\n", 9);
  const Lines lines = SourceLines(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string("a\0b", 3));
  EXPECT_EQ(lines[1], std::string("\xff\xfe\0", 3));
}

TEST(SourceLines, ElevenLinesWithFinalLineEndGiveElevenLines) {
  std::string bytes;
  for (int i = 0; i < 11; ++i) bytes += "nop\r\n";
  EXPECT_EQ(SourceLines(bytes).size(), 11u);
}

TEST(ReadSourceFile, ReadsRelativeToCurrentDirectory) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  WriteFile(directory.Path() / "m.asm", "one\r\ntwo");
  EXPECT_EQ(Read("m.asm"), "one\r\ntwo");
}

TEST(ReadSourceFile, MissingFileOrDirectoryThrowsCannotOpen) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  std::filesystem::create_directory(directory.Path() / "dir.asm");
  for (const std::string name : {"absent.asm", "dir.asm"}) {
    try {
      Read(name);
      ADD_FAILURE() << name << " was read";
    } catch (const TranslatorError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot open file " + name);
    }
  }
}

TEST(CommentRemoved, CutsAtFirstSemicolonAndTrims) {
  struct Case {
    std::string line;
    std::string expected;
  };
  const Case cases[] = {
      {"  addl a1, 3 ; step", "addl a1, 3"},
      {"movl a0, ';'", "movl a0, '"},  // quotes do not protect a ';'
      {"; only a comment", ""},
      {"\t nop \x01", "nop"},
      {"a;b;c", "a"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommentRemoved(c.line), c.expected) << c.line;
  }
}

TEST(ForEachSourceLine, AgreesWithSourceLinesAndPointsIntoTheText) {
  const std::string bytes("a\r\n\nb\rc\r\r\n\0d\n\xff", 14);
  std::vector<std::string_view> views;
  ForEachSourceLine(bytes, [&views](std::string_view line) { views.push_back(line); });
  const Lines lines = SourceLines(bytes);
  ASSERT_EQ(views.size(), lines.size());
  for (size_t i = 0; i < views.size(); ++i) {
    EXPECT_EQ(views[i], lines[i]) << i;
    EXPECT_GE(views[i].data(), bytes.data());
    EXPECT_LE(views[i].data() + views[i].size(), bytes.data() + bytes.size());
  }
  EXPECT_EQ(lines, (Lines{"a", "", "b", "c", "", std::string("\0d", 2), "\xff"}));
}

// Line ends read one byte at a time: CR LF, else a lone CR or LF.
Lines SplitByteByByte(const std::string& bytes) {
  Lines lines;
  std::string line;
  bool open = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') {
      line += c;
      open = true;
      continue;
    }
    lines.push_back(line);
    line.clear();
    open = false;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (open) lines.push_back(line);
  return lines;
}

// Texts of few different bytes, so that line ends of every kind meet in every order, also at
// the very end of the text.
TEST(SourceLines, AgreeWithAByteByByteSplitOnRandomTexts) {
  std::mt19937 random(5);
  const char alphabet[] = {'\r', '\n', 'a', '\0', ' '};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 12, ' ');
    for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
    ASSERT_EQ(SourceLines(bytes), SplitByteByByte(bytes)) << round;
  }
}

TEST(ReadSourceFile, ReturnsEveryByteUnchanged) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7 % 256);
  WriteFile(directory.Path() / "b.asm", bytes);
  EXPECT_EQ(Read("b.asm"), bytes);
  WriteFile(directory.Path() / "e.asm", "");
  EXPECT_EQ(Read("e.asm"), "");
  EXPECT_THROW(Read("absent.asm"), TranslatorError);
}

// A file whose listed size says nothing of its content (size 0 here) is still read to its end.
TEST(ReadSourceFile, ReadsPastASizeThatUnderstatesTheContent) {
  const char* name = "/proc/self/cmdline";
  std::ifstream stream(name, std::ios::binary);
  if (!stream) GTEST_SKIP() << "no " << name;
  const std::string expected((std::istreambuf_iterator<char>(stream)),
                             std::istreambuf_iterator<char>());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Read(name), expected);
}

TEST(AddSourceRow, PutsFileLineStatementAndDollarPlaceholders) {
  TWorkTableObject table;
  AddSourceRow(table, "m.asm", "0", "nop");
  AddSourceRow(table, "lib.inc", "1234567", "");
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.DumpText(), "m.asm 0 nop $ $ $ $ $\r\nlib.inc 1234567  $ $ $ $ $\r\n");
}

// The text after n increments is n in decimal, across every carry.
TEST(LineNumberText, CountsInDecimal) {
  LineNumberText number;
  EXPECT_EQ(number.View(), "0");
  for (int n = 1; n <= 100'000; ++n) {
    number.Increment();
    if (number.View() != std::to_string(n)) {
      ADD_FAILURE() << number.View() << " after " << n << " increments";
      break;
    }
  }
}

}  // namespace
