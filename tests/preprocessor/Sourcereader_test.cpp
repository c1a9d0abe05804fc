#include "preprocessor/Sourcereader.h"

#include <gtest/gtest.h>

#include "support/Diskfilesystem.h"

#include <fstream>
#include <iterator>
#include <random>

#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace {

// The files of a run on the disk, its base the current directory.
RunFiles& DiskFiles() {
  static RunFiles files(std::make_unique<DiskFileSystem>());
  return files;
}

using Lines = std::vector<std::string>;

TEST(SplitSourceLines, EndsLinesAtCrLfLfAndLoneCr) {
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
    EXPECT_EQ(SplitSourceLines(c.bytes), c.expected) << "input of " << c.bytes.size() << " bytes";
  }
}

TEST(SplitSourceLines, KeepsNulAndHighBytesAsOrdinaryCharacters) {
  const std::string bytes("a\0b\n\xff\xfe\0\r\n", 9);
  const Lines lines = SplitSourceLines(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string("a\0b", 3));
  EXPECT_EQ(lines[1], std::string("\xff\xfe\0", 3));
}

TEST(SplitSourceLines, ElevenLinesWithFinalLineEndGiveElevenLines) {
  std::string bytes;
  for (int i = 0; i < 11; ++i) bytes += "nop\r\n";
  EXPECT_EQ(SplitSourceLines(bytes).size(), 11u);
}

TEST(ReadSourceLines, ReadsRelativeToCurrentDirectory) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  WriteFile(directory.Path() / "m.asm", "one\r\ntwo");
  EXPECT_EQ(ReadSourceLines(DiskFiles(), "m.asm"), (Lines{"one", "two"}));
}

TEST(ReadSourceLines, MissingFileOrDirectoryThrowsCannotOpen) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  std::filesystem::create_directory(directory.Path() / "dir.asm");
  for (const std::string name : {"absent.asm", "dir.asm"}) {
    try {
      ReadSourceLines(DiskFiles(), name);
      ADD_FAILURE() << name << " was read";
    } catch (const TranslatorError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot open file " + name);
    }
  }
}

TEST(RemoveComment, CutsAtFirstSemicolonAndTrims) {
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
    EXPECT_EQ(RemoveComment(c.line), c.expected) << c.line;
    EXPECT_EQ(CommentRemoved(c.line), c.expected) << c.line;
  }
}

TEST(SourceLineViews, AgreeWithSplitLinesAndPointIntoTheText) {
  const std::string bytes("a\r\n\nb\rc\r\r\n\0d\n\xff", 14);
  const std::vector<std::string_view> views = SourceLineViews(bytes);
  const Lines lines = SplitSourceLines(bytes);
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
TEST(SourceLineCursor, AgreesWithAByteByByteSplitOnRandomTexts) {
  std::mt19937 random(5);
  const char alphabet[] = {'\r', '\n', 'a', '\0', ' '};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 12, ' ');
    for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
    const Lines expected = SplitByteByByte(bytes);
    Lines lines;
    SourceLineCursor cursor(bytes);
    std::string_view line;
    while (cursor.Next(line)) lines.emplace_back(line);
    ASSERT_EQ(lines, expected) << round;
    EXPECT_FALSE(cursor.Next(line));
    const bool endsInLineEnd = !bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n');
    EXPECT_EQ(expected.size(), LineEndCount(bytes) + (endsInLineEnd || bytes.empty() ? 0 : 1));
  }
}

// Long texts are counted in blocks: texts of nothing but line ends fill every block's count to
// the top, and random texts of every length around a block's size end in every position.
TEST(LineEndCount, CountsLongTextsAcrossBlocks) {
  for (const size_t length : {254u, 255u, 256u, 509u, 510u, 511u, 4096u, 100000u}) {
    EXPECT_EQ(LineEndCount(std::string(length, '\n')), length);
    EXPECT_EQ(LineEndCount(std::string(length, '\r')), length);
    std::string crLf;
    for (size_t i = 0; i < length; ++i) crLf += "\r\n";
    EXPECT_EQ(LineEndCount(crLf), length);
  }
  std::mt19937 random(9);
  const char alphabet[] = {'\r', '\n', 'a', 'b', ' '};
  for (size_t length = 240; length < 800; ++length) {
    std::string bytes(length, ' ');
    for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
    const bool endsInLineEnd = bytes.back() == '\r' || bytes.back() == '\n';
    ASSERT_EQ(SplitByteByByte(bytes).size(), LineEndCount(bytes) + (endsInLineEnd ? 0 : 1))
        << length;
  }
}

TEST(LineEndCount, CountsCrLfLoneCrAndLoneLfOnceEach) {
  EXPECT_EQ(LineEndCount(""), 0u);
  EXPECT_EQ(LineEndCount("a\r\nb\rc\n\n"), 4u);
  EXPECT_EQ(LineEndCount("\r\r\n\n\r"), 4u);
  EXPECT_EQ(LineEndCount(std::string("\0\r", 2)), 1u);
}

TEST(ReadSourceBytes, ReturnsEveryByteUnchanged) {
  TemporaryDirectory directory;
  CurrentDirectoryScope scope(directory.Path());
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7 % 256);
  WriteFile(directory.Path() / "b.asm", bytes);
  EXPECT_EQ(ReadSourceBytes(DiskFiles(), "b.asm"), bytes);
  WriteFile(directory.Path() / "e.asm", "");
  EXPECT_EQ(ReadSourceBytes(DiskFiles(), "e.asm"), "");
  EXPECT_THROW(ReadSourceBytes(DiskFiles(), "absent.asm"), TranslatorError);
}

// A file whose listed size says nothing of its content (size 0 here) is still read to its end.
TEST(ReadSourceBytes, ReadsPastASizeThatUnderstatesTheContent) {
  const char* name = "/proc/self/cmdline";
  std::ifstream stream(name, std::ios::binary);
  if (!stream) GTEST_SKIP() << "no " << name;
  const std::string expected((std::istreambuf_iterator<char>(stream)),
                             std::istreambuf_iterator<char>());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ReadSourceBytes(DiskFiles(), name), expected);
}

TEST(AddSourceRow, PutsFileLineStatementAndDollarPlaceholders) {
  TWorkTableObject table;
  AddSourceRow(table, "m.asm", 0, "nop");
  AddSourceRow(table, "lib.inc", 1234567, "");
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.DumpText(), "m.asm 0 nop $ $ $ $ $\r\nlib.inc 1234567  $ $ $ $ $\r\n");
}

}  // namespace

namespace {

// Every number up to past 100000, so that each digit count and each carry over nines is met.
TEST(LineNumberText, CountsLikeTheDecimalTextOfEachNumber) {
  LineNumberText number;
  for (int n = 0; n <= 123456; ++n) {
    ASSERT_EQ(number.View(), std::to_string(n)) << n;
    number.Increment();
  }
}

}  // namespace
