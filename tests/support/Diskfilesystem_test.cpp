#include "support/Diskfilesystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace fs = std::filesystem;

namespace {

size_t EntryCount(const fs::path& directory) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory)) ++count;
  return count;
}

// A file system whose base is the process's current directory, as a run starts with.
std::unique_ptr<OutputFile> Create(const std::string& name) {
  static DiskFileSystem files;
  return files.Create(name);
}

TEST(DiskOutputFile, CommitPutsAllBytesInPlace) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "a.bin").string();
  {
    const auto file = Create(target);
    file->Write(std::string("ab\0c", 4));
    file->Write("de");
    file->Finish();
    EXPECT_EQ(EntryCount(directory.Path()), 0u);  // nothing visible before the commit
    file->Commit();
  }
  EXPECT_EQ(ReadFile(target), std::string("ab\0cde", 6));
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(DiskOutputFile, AbandonedWriteKeepsEarlierFile) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  WriteFile(target, "earlier");
  {
    const auto file = Create(target.string());
    file->Write("partial");
  }
  EXPECT_EQ(ReadFile(target), "earlier");
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(DiskOutputFile, CommitReplacesEarlierFileWithoutLeavingIt) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  WriteFile(target, "an earlier and longer file");
  for (const std::string bytes : {"new", "newer", ""}) {
    const auto file = Create(target.string());
    file->Write(bytes);
    file->Commit();
    EXPECT_EQ(ReadFile(target), bytes);
    EXPECT_EQ(EntryCount(directory.Path()), 1u);
  }
}

TEST(DiskOutputFile, SymbolicLinkIsReplacedAndItsFileKept) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  const fs::path linked = directory.Path() / "elsewhere.bin";
  WriteFile(linked, "linked");
  fs::create_symlink(linked, target);
  const auto file = Create(target.string());
  file->Write("new");
  file->Commit();
  EXPECT_FALSE(fs::is_symlink(target));
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(ReadFile(linked), "linked");
  EXPECT_EQ(EntryCount(directory.Path()), 2u);
}

// Only a file or a link is replaced: a directory, a FIFO or a device in the target's place makes
// the file one that cannot be created, and stays.
TEST(DiskOutputFile, OtherThingsInTheTargetsPlaceFailAndStay) {
  TemporaryDirectory directory;
  const fs::path folder = directory.Path() / "a.bin";
  fs::create_directory(folder);
  WriteFile(folder / "inside", "kept");
  const fs::path fifo = directory.Path() / "f.bin";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& target : {folder.string(), fifo.string(), std::string("/dev/null")}) {
    try {
      Create(target);
      ADD_FAILURE() << "created " << target;
    } catch (const TranslatorError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
    }
  }
  EXPECT_EQ(ReadFile(folder / "inside"), "kept");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(EntryCount(directory.Path()), 2u);
}

TEST(DiskOutputFile, MissingDirectoryFailsWithItsName) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "no" / "a.bin").string();
  try {
    Create(target);
    FAIL() << "no error";
  } catch (const TranslatorError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
  }
}

TEST(DiskOutputFile, LargeBlocksArriveWholeAndInOrder) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "big.bin").string();
  std::string first(3 << 20, '\0');
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>(i * 7 + i / 251);
  const std::string second(5000, 'z');
  {
    const auto file = Create(target);
    file->Write(first);
    file->Write("");
    file->Write(second);
    file->Commit();
  }
  EXPECT_EQ(ReadFile(target), first + second);
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(DiskOutputFile, WritingAfterTheCommitFailsWithTheTargetName) {
  TemporaryDirectory directory;
  const std::string target = (directory.Path() / "a.bin").string();
  const auto file = Create(target);
  file->Write("abc");
  file->Commit();
  try {
    file->Write("more");
    FAIL() << "no error";
  } catch (const TranslatorError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot write file " + target);
  }
  EXPECT_THROW(file->Commit(), TranslatorError);
  EXPECT_EQ(ReadFile(target), "abc");
  EXPECT_EQ(EntryCount(directory.Path()), 1u);
}

TEST(DiskOutputFile, ReplacedFileKeepsItsPermissionBits) {
  TemporaryDirectory directory;
  const fs::path target = directory.Path() / "a.bin";
  WriteFile(target, "earlier");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const auto file = Create(target.string());
  file->Write("new");
  file->Commit();
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(DiskOutputFile, NameWithANulByteIsNeverCreated) {
  TemporaryDirectory directory;
  const std::string name = (directory.Path() / "p.asm").string() + std::string("\0z", 2);
  EXPECT_THROW(Create(name), TranslatorError);
  EXPECT_EQ(EntryCount(directory.Path()), 0u);
}

TEST(DiskFileSystem, ReadsOnlyRegularFiles) {
  TemporaryDirectory directory;
  DiskFileSystem files;
  ASSERT_TRUE(files.EnterDirectory(directory.Path().string()));
  WriteFile(directory.Path() / "a.asm", std::string("x\0y", 3));
  fs::create_directory(directory.Path() / "sub");
  ASSERT_EQ(mkfifo((directory.Path() / "fifo").c_str(), 0600), 0);
  std::string bytes = "untouched";
  FileIdentity identity;
  // A FIFO without a writer would block a plain open for reading.
  for (const std::string name : {"fifo", "sub", "missing", "/dev/zero", "/dev/null"}) {
    EXPECT_FALSE(files.ReadFile(name, bytes, identity)) << name;
  }
  EXPECT_FALSE(files.ReadFile(std::string("a.asm\0b", 7), bytes, identity));
  EXPECT_EQ(bytes, "untouched");
  ASSERT_TRUE(files.ReadFile("a.asm", bytes, identity));
  EXPECT_EQ(bytes, std::string("x\0y", 3));
  EXPECT_EQ(files.Identify("./a.asm"), identity);
  EXPECT_EQ(files.Identify(directory.Path().string() + "/sub/../a.asm"), identity);
}

TEST(DiskFileSystem, EnteredDirectoryIsTheBaseOfRelativeNames) {
  TemporaryDirectory directory;
  fs::create_directory(directory.Path() / "root");
  DiskFileSystem files;
  EXPECT_FALSE(files.EnterDirectory(""));
  EXPECT_FALSE(files.EnterDirectory((directory.Path() / "none").string()));
  ASSERT_TRUE(files.EnterDirectory(directory.Path().string()));
  ASSERT_TRUE(files.EnterDirectory("root"));
  EXPECT_EQ(files.BaseDirectory(), fs::canonical(directory.Path() / "root").string());
  const auto file = files.Create("out.bin");
  file->Write("image");
  file->Commit();
  EXPECT_EQ(ReadFile(directory.Path() / "root" / "out.bin"), "image");
  EXPECT_TRUE(files.IsRegularFile("out.bin"));
  EXPECT_TRUE(files.IsDirectory("."));
  EXPECT_FALSE(files.IsDirectory("out.bin"));
}

}  // namespace
