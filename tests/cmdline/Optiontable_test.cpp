#include "cmdline/Optiontable.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "driver/Compilerobject.h"

namespace {

using Job = TMq71R04CompilerObject;
using Strings = std::vector<std::string>;

// ---- misuse: every message, letter for letter -------------------------------------------

struct MisuseCase {
  std::string key;
  Strings values;
  std::string message;
};

void PrintTo(const MisuseCase& c, std::ostream* os) {
  *os << "-" << c.key << " with " << c.values.size() << " value(s)";
}

class OptionMisuseTest : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(OptionMisuseTest, PrintsItsMessageAndFails) {
  Job job;
  EXPECT_FALSE(ApplyOption(job, GetParam().key, GetParam().values));
  EXPECT_EQ(job.Out.Captured(), GetParam().message + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    ValueCounts, OptionMisuseTest,
    ::testing::Values(
        MisuseCase{"tl", {"1"}, "Key option \"-tl\" must don't have values."},
        MisuseCase{"tc", {"x"}, "Key option \"-tc\" must don't have values."},
        MisuseCase{"oi", {"x"}, "Key option \"-oi\" must don't have values."},
        MisuseCase{"ro", {"x", "y"}, "Key option \"-ro\" must don't have values."},
        MisuseCase{"cs", {"a", "b"}, "Key option \"-cs\" must have one value or empty."},
        MisuseCase{"of", {"a", "b"}, "Key option \"-of\" must have one value or empty."},
        MisuseCase{"mh", {"a", "b", "c"}, "Key option \"-mh\" must have one value or empty."},
        MisuseCase{"lf", {"a", "b"}, "Key option \"-lf\" must have one value or empty."},
        MisuseCase{"is", {}, "Key option \"-is\" must have one integer value."},
        MisuseCase{"is", {"1", "2"}, "Key option \"-is\" must have one integer value."},
        MisuseCase{"rd", {}, "Key option \"-rd\" must have one value."},
        MisuseCase{"rd", {"a", "b"}, "Key option \"-rd\" must have one value."},
        MisuseCase{"sl", {}, "Key option \"-sl\" must have one or more value."},
        MisuseCase{"ip", {}, "Key option \"-ip\" must have one or more value."}));

INSTANTIATE_TEST_SUITE_P(
    IntegerValues, OptionMisuseTest,
    ::testing::Values(
        MisuseCase{"is",
                   {"abc"},
                   "Key option \"-is\" must have one integer value, \"abc\" is not integer."},
        MisuseCase{"is",
                   {"+0x10"},
                   "Key option \"-is\" must have one integer value, \"+0x10\" is not integer."},
        MisuseCase{
            "is",
            {"2147483648"},
            "Key option \"-is\" must have one integer value, \"2147483648\" is not integer."},
        MisuseCase{"is",
                   {"1FH"},
                   "Key option \"-is\" must have one integer value, \"1FH\" is not integer."}));

INSTANTIATE_TEST_SUITE_P(
    UnknownKeys, OptionMisuseTest,
    ::testing::Values(MisuseCase{"xx", {}, "Invalid option key \"xx\""},
                      MisuseCase{"TL", {}, "Invalid option key \"TL\""},  // keys keep their case
                      MisuseCase{"Rd", {"x"}, "Invalid option key \"Rd\""},
                      MisuseCase{" foo", {}, "Invalid option key \" foo\""},
                      MisuseCase{" ", {}, "Invalid option key \" \""},
                      MisuseCase{"", {}, "Invalid option key \"\""},
                      MisuseCase{"sl a.asm", {}, "Invalid option key \"sl a.asm\""},
                      MisuseCase{"tl%s", {}, "Invalid option key \"tl%s\""}));

// ---- accepted options: what each one leaves in the job ----------------------------------

struct EffectCase {
  std::string name;
  std::string key;
  Strings values;
  std::function<void(const Job&)> check;
};

void PrintTo(const EffectCase& c, std::ostream* os) {
  *os << c.name;
}

class OptionEffectTest : public ::testing::TestWithParam<EffectCase> {};

TEST_P(OptionEffectTest, StoresItsValuesSilently) {
  Job job;
  EXPECT_TRUE(ApplyOption(job, GetParam().key, GetParam().values));
  EXPECT_EQ(job.Out.Captured(), "");
  GetParam().check(job);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptionEffectTest,
    ::testing::Values(
        EffectCase{"tl", "tl", {}, [](const Job& j) { EXPECT_TRUE(j.TraceLines); }},
        EffectCase{"tc", "tc", {}, [](const Job& j) { EXPECT_TRUE(j.PrintTime); }},
        EffectCase{"oi", "oi", {}, [](const Job& j) { EXPECT_TRUE(j.ImageInfo); }},
        EffectCase{"ro", "ro", {}, [](const Job& j) { EXPECT_TRUE(j.RawImage); }},
        EffectCase{"cs_bare", "cs", {}, [](const Job& j) { EXPECT_EQ(j.ChecksumLabel, ""); }},
        EffectCase{
            "cs_value", "cs", {"chk"}, [](const Job& j) { EXPECT_EQ(j.ChecksumLabel, "chk"); }},
        EffectCase{
            "of_bare", "of", {}, [](const Job& j) { EXPECT_EQ(j.OutputFileName, "out.bin"); }},
        EffectCase{"of_value",
                   "of",
                   {"x.bin"},
                   [](const Job& j) { EXPECT_EQ(j.OutputFileName, "x.bin"); }},
        EffectCase{"mh_bare", "mh", {}, [](const Job& j) { EXPECT_EQ(j.MalfunctionHandler, ""); }},
        EffectCase{"mh_value",
                   "mh",
                   {"panic"},
                   [](const Job& j) { EXPECT_EQ(j.MalfunctionHandler, "panic"); }},
        EffectCase{
            "lf_bare", "lf", {}, [](const Job& j) { EXPECT_EQ(j.ListFileName, "list.txt"); }},
        EffectCase{
            "lf_value", "lf", {"l.txt"}, [](const Job& j) { EXPECT_EQ(j.ListFileName, "l.txt"); }},
        EffectCase{
            "is_decimal", "is", {"+700"}, [](const Job& j) { EXPECT_EQ(j.ImageSizeLimit, 700); }},
        EffectCase{
            "is_dollar", "is", {"$200"}, [](const Job& j) { EXPECT_EQ(j.ImageSizeLimit, 512); }},
        EffectCase{"is_pattern",
                   "is",
                   {"0xFFFFFFFF"},
                   [](const Job& j) { EXPECT_EQ(j.ImageSizeLimit, -1); }},
        EffectCase{
            "rd", "rd", {"/some/dir"}, [](const Job& j) { EXPECT_EQ(j.RootDir, "/some/dir"); }},
        EffectCase{"sl",
                   "sl",
                   {"a.asm", "b.asm"},
                   [](const Job& j) {
                     EXPECT_EQ(*j.SourceFiles, (Strings{"a.asm", "b.asm"}));
                   }},
        EffectCase{"ip",
                   "ip",
                   {"lib1", "lib2"},
                   [](const Job& j) {
                     EXPECT_EQ(*j.LibraryDirs, (Strings{"lib1", "lib2"}));
                   }}),
    [](const ::testing::TestParamInfo<EffectCase>& info) { return info.param.name; });

// ---- what a misuse leaves behind, and repetition ------------------------------------------

TEST(OptionTable, MisusedFlagIsNotSet) {
  Job job;
  ApplyOption(job, "tl", {"1"});
  EXPECT_FALSE(job.TraceLines);
}

TEST(OptionTable, ImageSizeThatIsNotAnIntegerKeepsTheLimit) {
  Job job;
  ApplyOption(job, "is", {"abc"});
  EXPECT_EQ(job.ImageSizeLimit, 0);
}

TEST(OptionTable, MisusedRootDirLeavesTheMarker) {
  Job job;
  ApplyOption(job, "rd", {"a", "b"});
  EXPECT_EQ(job.RootDir, "E_INVALID");
}

TEST(OptionTable, MisusedListOptionsAddNothing) {
  Job job;
  ApplyOption(job, "sl", {});
  ApplyOption(job, "ip", {});
  EXPECT_TRUE(job.SourceFiles->empty());
  EXPECT_TRUE(job.LibraryDirs->empty());
}

TEST(OptionTable, SingleValuedOptionsKeepTheLastValue) {
  Job job;
  ApplyOption(job, "of", {"first.bin"});
  ApplyOption(job, "of", {"second.bin"});
  ApplyOption(job, "cs", {"chk"});
  ApplyOption(job, "cs", {});
  EXPECT_EQ(job.OutputFileName, "second.bin");
  EXPECT_EQ(job.ChecksumLabel, "");
}

TEST(OptionTable, ListOptionsAppendInOrderKeepingDuplicates) {
  Job job;
  ApplyOption(job, "sl", {"a.asm", "b.asm"});
  ApplyOption(job, "sl", {"a.asm"});
  EXPECT_EQ(*job.SourceFiles, (Strings{"a.asm", "b.asm", "a.asm"}));
}

}  // namespace
