// The preprocessing pass run in memory: sources in a temporary directory, rows, messages and
// dump files inspected afterwards.
#include <gtest/gtest.h>

#include "driver/Compilerobject.h"
#include "preprocessor/Macrosobject.h"
#include "support/Testsupport.h"
#include "worktable/Translatorerror.h"

namespace {

namespace fs = std::filesystem;

// A job whose current directory is a fresh temporary directory.
class PreprocessTest : public ::testing::Test {
 protected:
  PreprocessTest() : scope_(directory_.Path()) {
    job_.TickCounter = [] { return 1000u; };
  }

  void Write(const std::string& name, const std::string& bytes) {
    WriteFile(directory_.Path() / name, bytes);
  }
  int Run(std::initializer_list<std::string> sourceFiles) {
    for (const std::string& name : sourceFiles) job_.SourceFiles->push_back(name);
    return job_.Preprocess();
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int r = 0; r < job_.WorkTable->RowCount(); ++r) {
      cells.push_back(job_.WorkTable->GetItem(r, column));
    }
    return cells;
  }
  std::vector<std::string> Texts() const { return Column(ColText); }
  const std::string& Printed() const { return job_.Out.Captured(); }

  TemporaryDirectory directory_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
};

using TextList = std::vector<std::string>;

TEST_F(PreprocessTest, NoSourceFilesLeaveTableEmpty) {
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(job_.WorkTable->RowCount(), 0);
  EXPECT_EQ(Printed(), "");
}

TEST_F(PreprocessTest, OneRowPerLineWithFileLineAndPlaceholders) {
  Write("m.asm", "loop: addl a1, 3 ; step\r\n\tnop\n\rmovl a0, ';'\r");
  EXPECT_EQ(Run({"m.asm"}), 0);
  EXPECT_EQ(Texts(), (TextList{"loop: addl a1, 3", "nop", "", "movl a0, '"}));
  EXPECT_EQ(Column(ColFile), (TextList(4, "m.asm")));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "1", "2", "3"}));
  for (int column = ColOperand1; column <= ColCode; ++column) {
    EXPECT_EQ(Column(column), TextList(4, "$")) << "column " << column;
  }
}

TEST_F(PreprocessTest, ThreeEmptyLinesGiveThreeEmptyRows) {
  Write("e.asm", "\n\n\n");
  EXPECT_EQ(Run({"e.asm"}), 0);
  EXPECT_EQ(Texts(), TextList(3, ""));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "1", "2"}));
}

TEST_F(PreprocessTest, FilesAreReadInListOrderKeepingTheirNames) {
  Write("a.asm", "nop");
  Write("sub/b.asm", "halt\nnop");
  EXPECT_EQ(Run({"sub/b.asm", "a.asm"}), 0);
  EXPECT_EQ(Column(ColFile), (TextList{"sub/b.asm", "sub/b.asm", "a.asm"}));
  EXPECT_EQ(Column(ColLine), (TextList{"0", "1", "0"}));
}

TEST_F(PreprocessTest, BinaryBytesBecomeRowsWithoutHarm) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += std::string(100000, 'x');
  Write("bin.asm", bytes);
  EXPECT_EQ(Run({"bin.asm"}), 0);
  // Line ends at the bytes 10 and 13; the ';' (59) cuts the third line, whose codes up to 32
  // trim away like the whole of the first two lines.
  std::string third;
  for (int i = 33; i < 59; ++i) third += static_cast<char>(i);
  EXPECT_EQ(Texts(), (TextList{"", "", third}));
}

TEST_F(PreprocessTest, UnreadableTopLevelFileEndsTheRunWithAnError) {
  EXPECT_THROW(Run({"absent.asm"}), TranslatorError);
}

}  // namespace
