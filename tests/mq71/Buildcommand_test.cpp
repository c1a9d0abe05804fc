// mq71 build through the real executables: the same translator as mq71asm, reproducible, and
// with its outputs where the options put them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/Childprocess.h"
#include "support/Testsupport.h"

namespace {

namespace fs = std::filesystem;

const std::string Mq71 = std::string(MQ71_BIN_DIR) + "/mq71";
const std::string Mq71asm = std::string(MQ71_BIN_DIR) + "/mq71asm";

// Every file under `directory`, by relative name.
std::map<std::string, std::string> FilesUnder(const fs::path& directory) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(directory)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), directory).string()] = ReadFile(entry.path());
    }
  }
  return files;
}

// The example project (with macros that declare labels) in a fresh directory.
class BuildTest : public ::testing::Test {
 protected:
  BuildTest() {
    fs::copy(MQ71_EXAMPLES_DIR, Project(), fs::copy_options::recursive);
    fs::create_directory(Out());
  }
  fs::path Project() const { return directory_.Path() / "project"; }
  fs::path Out() const { return directory_.Path() / "out"; }

  ChildResult Build(const std::vector<std::string>& options) {
    std::vector<std::string> arguments = {
        Mq71, "build", "-C", Project().string(), "-I", (Project() / "lib").string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back("blink.asm");
    return RunChild(arguments, Out());
  }

  TemporaryDirectory directory_;
};

TEST_F(BuildTest, TwoRunsWriteTheSameFilesAndTheImageOfMq71asm) {
  const std::vector<std::string> options = {"-o",    "a.bin",      "--listing", "a.lst",  "--map",
                                            "a.map", "--checksum", "checksum",  "--size", "2048"};
  ASSERT_EQ(Build(options).Status, 0);
  const auto first = FilesUnder(Out());
  ASSERT_EQ(first.size(), 3u);
  ASSERT_EQ(Build(options).Status, 0);
  EXPECT_EQ(FilesUnder(Out()), first);

  const ChildResult native =
      RunChild({Mq71asm, "-rd=" + Project().string(), "-sl=blink.asm",
                "-ip=" + (Project() / "lib").string(), "-of=b.bin", "-cs=checksum", "-is=2048"},
               Out());
  ASSERT_EQ(native.Status, 0) << native.Out;
  EXPECT_EQ(ReadFile(Project() / "b.bin"), first.at("a.bin"));
}

// Nothing is written into the source tree: no dump files, and the outputs go elsewhere.
TEST_F(BuildTest, LeavesTheSourceTreeAsItWas) {
  const auto before = FilesUnder(Project());
  for (const auto& entry : fs::recursive_directory_iterator(Project())) {
    fs::permissions(entry.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  const ChildResult result = Build({"-o", "x.bin", "-MD"});
  EXPECT_EQ(result.Status, 0) << result.Err;
  EXPECT_EQ(FilesUnder(Project()), before);
  EXPECT_TRUE(fs::exists(Out() / "x.bin"));
  EXPECT_TRUE(fs::exists(Out() / "x.bin.d"));
}

TEST_F(BuildTest, DumpsGoToTheDumpDirectoryOnlyWhenAsked) {
  ASSERT_EQ(Build({"-o", "x.bin", "--dump-dir", "dumps"}).Status, 0);
  const auto dumps = FilesUnder(Out() / "dumps");
  EXPECT_TRUE(dumps.count("sa.txt") && dumps.count("MacrosBody.txt")) << dumps.size();
  EXPECT_TRUE(dumps.count("stdmacros.inc_delay.txt")) << dumps.size();
}

// A memory format is written directly, word for word what mq71 convert makes of the image.
TEST_F(BuildTest, FormatWrittenDirectlyEqualsTheConvertedImage) {
  for (const std::string format : {"vmem", "ihex", "mif", "coe", "raw", "vmemb"}) {
    SCOPED_TRACE(format);
    ASSERT_EQ(Build({"-o", "x.bin", "--checksum", "checksum", "--size", "100"}).Status, 0);
    ASSERT_EQ(Build({"-f", format, "-o", "x." + format, "--checksum", "checksum", "--size", "100"})
                  .Status,
              0);
    const ChildResult converted =
        RunChild({Mq71, "convert", "x.bin", "-f", format, "-o", "c." + format}, Out());
    ASSERT_EQ(converted.Status, 0) << converted.Err;
    EXPECT_EQ(ReadFile(Out() / ("x." + format)), ReadFile(Out() / ("c." + format)));
  }
}

}  // namespace
