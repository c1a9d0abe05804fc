#include "support/Runfiles.h"

#include <gtest/gtest.h>

#include "support/Memoryfilesystem.h"
#include "support/Translatorerror.h"

namespace {

class RunFilesTest : public ::testing::Test {
 protected:
  RunFilesTest() {
    auto memory = std::make_unique<MemoryFileSystem>();
    memory_ = memory.get();
    memory_->Put("main.asm", "nop");
    memory_->Put("lib.inc", "halt");
    files_ = std::make_unique<RunFiles>(std::move(memory));
  }

  std::string CreateFails(std::string_view name) {
    try {
      files_->CreateOutput(name);
    } catch (const TranslatorError& error) {
      return error.what();
    }
    return "created";
  }

  MemoryFileSystem* memory_;
  std::unique_ptr<RunFiles> files_;
};

TEST_F(RunFilesTest, RemembersEachInputOnceInReadingOrder) {
  std::string bytes;
  EXPECT_TRUE(files_->ReadInput("lib.inc", bytes));
  EXPECT_EQ(bytes, "halt");
  EXPECT_TRUE(files_->ReadInput("main.asm", bytes));
  EXPECT_TRUE(files_->ReadInput("lib.inc", bytes));
  EXPECT_FALSE(files_->ReadInput("absent.inc", bytes));
  EXPECT_EQ(files_->InputNames(), (std::vector<std::string>{"lib.inc", "main.asm"}));
}

TEST_F(RunFilesTest, NoOutputReplacesAnInput) {
  std::string bytes;
  ASSERT_TRUE(files_->ReadInput("main.asm", bytes));
  EXPECT_EQ(CreateFails("main.asm"), "Cannot create file main.asm: it is an input of this run");
  EXPECT_EQ(CreateFails("/memory/main.asm"),
            "Cannot create file /memory/main.asm: it is an input of this run");
  EXPECT_THROW(files_->WriteDump("main.asm", "dump"), TranslatorError);
  // A file not read is no input, even when it exists.
  EXPECT_EQ(CreateFails("lib.inc"), "created");
  files_->WriteDump("sa.txt", "dump");
  EXPECT_EQ(memory_->Get("sa.txt"), "dump");
  EXPECT_EQ(memory_->Get("main.asm"), "nop");
}

TEST_F(RunFilesTest, DumpsGoWhereTheyAreSent) {
  auto dumps = std::make_unique<MemoryFileSystem>();
  MemoryFileSystem& dumpFiles = *dumps;
  dumpFiles.AddDirectory("d");
  files_->SendDumpsTo(std::move(dumps), "d");
  files_->WriteDump("sub/x.inc_m.txt", "body");
  EXPECT_EQ(dumpFiles.Get("d/sub/x.inc_m.txt"), "body");
  EXPECT_EQ(memory_->Get("sub/x.inc_m.txt"), std::nullopt);
}

TEST_F(RunFilesTest, OutputAppearsOnlyAtCommit) {
  const auto file = files_->CreateOutput("out.bin");
  file->Write("ab");
  file->Finish();
  EXPECT_EQ(memory_->Get("out.bin"), std::nullopt);
  file->Commit();
  EXPECT_EQ(memory_->Get("out.bin"), "ab");
}

}  // namespace
