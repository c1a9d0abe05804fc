#include "passes/Replacementfile.h"

#include <gtest/gtest.h>

#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace fs = std::filesystem;

namespace {

size_t EntryCount(const fs::path& directory) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory)) ++count;
  return count;
}

TEST(ReplacementFile, CommitPutsAllBytesInPlace) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "a.bin").string();
  {
    TReplacementFile file(target);
    file.Write(std::string("ab\0c", 4));
    file.Write("de");
    EXPECT_FALSE(fs::exists(target));  // nothing visible before the commit
    file.Commit();
  }
  EXPECT_EQ(ReadFile(target), std::string("ab\0cde", 6));
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(ReplacementFile, AbandonedWriteKeepsEarlierFile) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  WriteFile(target, "earlier");
  {
    TReplacementFile file(target.string());
    file.Write("partial");
  }
  EXPECT_EQ(ReadFile(target), "earlier");
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(ReplacementFile, CommitReplacesEarlierFileWithoutLeavingIt) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  WriteFile(target, "an earlier and longer file");
  for (const std::string bytes : {"new", "newer", ""}) {
    TReplacementFile file(target.string());
    file.Write(bytes);
    file.Commit();
    EXPECT_EQ(ReadFile(target), bytes);
    EXPECT_EQ(EntryCount(directory.Path()), 1u);
  }
}

TEST(ReplacementFile, SymbolicLinkIsReplacedAndItsFileKept) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  const fs::path linked = directory.Path() / "elsewhere.bin";
  WriteFile(linked, "linked");
  fs::create_symlink(linked, target);
  TReplacementFile file(target.string());
  file.Write("new");
  file.Commit();
  EXPECT_FALSE(fs::is_symlink(target));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(ReadFile(linked), "linked");
  EXPECT_EQ(EntryCount(directory.Path()), 2u);
}

TEST(ReplacementFile, DirectoryInTheTargetsPlaceFailsAndStays) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  fs::create_directory(target);
  WriteFile(target / "inside", "kept");
  TReplacementFile file(target.string());
  file.Write("new");
  try {
    file.Commit();
    FAIL() << "no error";
  } catch (const TranslatorError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target.string());
  }
  EXPECT_EQ(ReadFile(target / "inside"), "kept");
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(ReplacementFile, MissingDirectoryFailsWithItsName) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "no" / "a.bin").string();
  try {
    TReplacementFile file(target);
    FAIL() << "no error";
  } catch (const TranslatorError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
  }
}

TEST(ReplacementFile, LargeBlocksArriveWholeAndInOrder) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "big.bin").string();
  std::string first(3 << 20, '\0');
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>(i * 7 + i / 251);
  const std::string second(5000, 'z');
  {
    TReplacementFile file(target);
    file.Write(first);
    file.Write("");
    file.Write(second);
    file.Commit();
  }
  EXPECT_EQ(ReadFile(target), first + second);
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(ReplacementFile, WritingAfterTheCommitFailsWithTheTargetName) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "a.bin").string();
  TReplacementFile file(target);
  file.Write("abc");
  file.Commit();
  try {
    file.Write("more");
    FAIL() << "no error";
  } catch (const TranslatorError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot write file " + target);
  }
  EXPECT_THROW(file.Commit(), TranslatorError);
  EXPECT_EQ(ReadFile(target), "abc");
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

}  // namespace
