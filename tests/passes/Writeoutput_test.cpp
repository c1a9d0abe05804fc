#include <gtest/gtest.h>

#include "passes/Passtestsupport.h"
#include "support/Testsupport.h"
#include "support/Translatorerror.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> FilesIn(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class WriteOutputTest : public ::testing::Test {
 protected:
  WriteOutputTest() : scope_(root_.Path()) {
    job_.RootDir = root_.Path().string();
    job_.OutputFileName = "out.bin";
  }
  void AddRow(const std::string& text, const std::string& code) {
    job_.WorkTable->AddRow("m.asm", "0", text, "", "", "cmd", "", code);
  }
  fs::path At(const std::string& name) const { return root_.Path() / name; }

  TemporaryDirectory root_;
  CurrentDirectoryScope scope_;
  TMq71R04CompilerObject job_;
};

TEST_F(WriteOutputTest, WritesImageIntoRootDirectory) {
  job_.RawImage = true;
  AddRow("nop", "1");
  AddRow("nop", "65535");
  EXPECT_EQ(job_.WriteOutput(), 0);
  EXPECT_EQ(ReadFile(At("out.bin")), std::string("\x01\x00\xff\xff", 4));
  EXPECT_EQ(FilesIn(root_.Path()), std::vector<std::string>{"out.bin"});
  EXPECT_EQ(job_.Out.Captured(), "");
}

TEST_F(WriteOutputTest, ReportGivesSizesAndChecksum) {
  job_.ImageInfo = true;
  job_.ChecksumLabel = "sum";
  job_.ImageSizeLimit = 20;
  AddRow("nop", "0000000000000000b");
  AddRow("DATA_WORD_ALLOCATION", "4660");  // 1234 hexadecimal
  AddRow("t:DATA_BYTE_ALLOCATION", "65535");
  job_.WriteOutput();
  EXPECT_EQ(job_.Out.Captured(),
            "Full output size : 532 bytes\r\n"
            "Actual code output size : 6 bytes.\r\n"
            "   Programm code   size : 2 bytes.\r\n"
            "   Allocated data  size : 4 bytes.\r\n"
            "Checksum of actual code : 000244h\r\n");
  EXPECT_EQ(fs::file_size(At("out.bin")), 532u);
}

TEST_F(WriteOutputTest, ReportWithoutChecksumShowsZeros) {
  job_.ImageInfo = true;
  AddRow("nop", "65535");
  job_.WriteOutput();
  EXPECT_EQ(MessageLines(job_.Out.Captured()).back(), "Checksum of actual code : 000000h");
}

TEST_F(WriteOutputTest, ChecksumNeedingMoreDigitsIsNotCut) {
  job_.ImageInfo = true;
  job_.ChecksumLabel = "sum";
  for (int i = 0; i < 40000; ++i) AddRow("nop", "65535");  // 80,000 bytes of 255
  job_.WriteOutput();
  EXPECT_EQ(MessageLines(job_.Out.Captured()).back(), "Checksum of actual code : 1374780h");
}

TEST_F(WriteOutputTest, ListingHoldsTheTableRows) {
  job_.ListFileName = "list.txt";
  job_.WorkTable->AddRow("m.asm", "3", "mov a1, b2", "a1", "b2", "mov", "", "0000010101000001b");
  job_.WorkTable->AddRow("m.asm", "4", "DATA_WORD_ALLOCATION", "", "", "DATA_WORD_ALLOCATION",
                         "tbl:", "48879");
  job_.WriteOutput();
  EXPECT_EQ(ReadFile(At("list.txt")),
            "m.asm 3 mov a1, b2 a1 b2 mov  0000010101000001b\r\n"
            "m.asm 4 DATA_WORD_ALLOCATION   DATA_WORD_ALLOCATION tbl: 48879\r\n");
}

TEST_F(WriteOutputTest, LongListingIsTheWholeTableDump) {
  job_.ListFileName = "list.txt";
  for (int row = 0; row < 5000; ++row) {
    const std::string number = std::to_string(row);
    job_.WorkTable->AddRow("m.asm", number, "addl a1, " + number, "a1", number, "addl",
                           row % 7 == 0 ? "l" + number + ":" : "", std::string(row % 40, 'b'));
  }
  job_.WriteOutput();
  const std::string listing = ReadFile(At("list.txt"));
  EXPECT_GT(listing.size(), 200000u);  // several blocks
  EXPECT_EQ(listing, job_.WorkTable->DumpText());
}

TEST_F(WriteOutputTest, NoListingWithoutItsName) {
  AddRow("nop", "1");
  job_.WriteOutput();
  EXPECT_EQ(FilesIn(root_.Path()), std::vector<std::string>{"out.bin"});
}

TEST_F(WriteOutputTest, RelativeRootIsNotAppliedTwice) {
  fs::create_directory(At("proj"));
  CurrentDirectoryScope inProject(At("proj"));
  job_.RootDir = "proj";
  job_.ListFileName = "list.txt";
  AddRow("nop", "1");
  job_.WriteOutput();
  EXPECT_EQ(FilesIn(At("proj")), (std::vector<std::string>{"list.txt", "out.bin"}));
}

TEST_F(WriteOutputTest, EarlierImageIsReplacedWhole) {
  WriteFile(At("out.bin"), std::string(2000, 'x'));
  job_.RawImage = true;
  AddRow("nop", "1");
  job_.WriteOutput();
  EXPECT_EQ(ReadFile(At("out.bin")), std::string("\x01\x00", 2));
}

TEST_F(WriteOutputTest, MissingOutputNameFailsWithoutLeavingFiles) {
  job_.OutputFileName = "";
  job_.ImageInfo = true;
  AddRow("nop", "1");
  EXPECT_THROW(job_.WriteOutput(), TranslatorError);
  EXPECT_EQ(FilesIn(root_.Path()), std::vector<std::string>{});
  EXPECT_EQ(job_.Out.Captured(), "");  // no report after a failed image
}

TEST_F(WriteOutputTest, ImageThatCannotReplaceItsTargetLeavesNoTemporaryFile) {
  fs::create_directory(At("out.bin"));
  WriteFile(At("out.bin") / "keep", "k");
  AddRow("nop", "1");
  try {
    job_.WriteOutput();
    FAIL() << "no error";
  } catch (const TranslatorError& error) {
    EXPECT_NE(std::string(error.what()).find("out.bin"), std::string::npos);
  }
  EXPECT_EQ(FilesIn(root_.Path()), std::vector<std::string>{"out.bin"});
  EXPECT_EQ(ReadFile(At("out.bin") / "keep"), "k");
}

// The image and the listing take their places together: a listing that cannot be created
// leaves the earlier image, after the report was printed.
TEST_F(WriteOutputTest, ListingFailureKeepsTheEarlierImage) {
  fs::create_directory(At("list"));
  WriteFile(At("list") / "keep", "k");
  WriteFile(At("out.bin"), "earlier");
  job_.ListFileName = "list";
  job_.ImageInfo = true;
  AddRow("nop", "1");
  EXPECT_THROW(job_.WriteOutput(), TranslatorError);
  EXPECT_EQ(ReadFile(At("out.bin")), "earlier");
  EXPECT_EQ(MessageLines(job_.Out.Captured()).size(), 5u);
  EXPECT_EQ(FilesIn(root_.Path()), (std::vector<std::string>{"list", "out.bin"}));
}

}  // namespace

namespace {

// No output replaces a file the run read, whatever name leads to it, and a refused output stage
// writes nothing at all.
TEST_F(WriteOutputTest, NoOutputReplacesAnInputByAnyName) {
  WriteFile(At("main.asm"), "nop");
  fs::create_directory(At("sub"));
  fs::create_symlink(At("main.asm"), At("link.asm"));
  fs::create_hard_link(At("main.asm"), At("sub/hard.asm"));
  std::string bytes;
  ASSERT_TRUE(job_.Files.ReadInput("main.asm", bytes));
  AddRow("nop", "1");
  struct Case {
    std::string image;
    std::string listing;
    std::string refused;  // the name in the message
  };
  const Case cases[] = {
      {"main.asm", "", "main.asm"},
      {"./main.asm", "", "./main.asm"},
      {"link.asm", "", "link.asm"},
      {"sub/../main.asm", "", "sub/../main.asm"},
      {"out.bin", "sub/hard.asm", "sub/hard.asm"},
  };
  for (const Case& c : cases) {
    job_.OutputFileName = c.image;
    job_.ListFileName = c.listing;
    try {
      job_.WriteOutput();
      ADD_FAILURE() << c.refused << " was written";
    } catch (const TranslatorError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Cannot create file " + At(c.refused).string() + ": it is an input of this run");
    }
  }
  EXPECT_EQ(ReadFile(At("main.asm")), "nop");
  EXPECT_TRUE(fs::is_symlink(At("link.asm")));
  EXPECT_EQ(FilesIn(root_.Path()), (std::vector<std::string>{"link.asm", "main.asm", "sub"}));
}

TEST_F(WriteOutputTest, ImageAndListingMayNotBeOneFile) {
  WriteFile(At("x"), "earlier");
  fs::create_symlink(At("x"), At("y"));
  AddRow("nop", "1");
  for (const auto& [image, listing] : {std::pair{"x", "x"}, std::pair{"x", "y"}}) {
    job_.OutputFileName = image;
    job_.ListFileName = listing;
    try {
      job_.WriteOutput();
      ADD_FAILURE() << "written";
    } catch (const TranslatorError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot create file " + At(listing).string() +
                                               ": the image and the listing are the same file");
    }
  }
  EXPECT_EQ(ReadFile(At("x")), "earlier");
  EXPECT_EQ(job_.Out.Captured(), "");
}

}  // namespace
