// Every text format of mq71 convert, read back by an independent real reader: srec_cat for
// Intel HEX, MIF and VMEM, Icarus Verilog's $readmemh and $readmemb for vmem and vmemb.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/Childprocess.h"
#include "support/Testsupport.h"

namespace {

const std::string Mq71 = std::string(MQ71_BIN_DIR) + "/mq71";

class FormatReaders : public ::testing::Test {
 protected:
  // A raw image of random words.
  void SetUp() override {
    std::mt19937 random(71);
    for (int i = 0; i < 300; ++i) words_.push_back(static_cast<uint16_t>(random()));
    WriteFile(directory_.Path() / "image.raw", LittleEndian(words_));
  }

  static std::string LittleEndian(const std::vector<uint16_t>& words) {
    std::string bytes;
    for (uint16_t word : words)
      bytes += {static_cast<char>(word & 0xff), static_cast<char>(word >> 8)};
    return bytes;
  }

  // Converts the image to `format`, into the file "image.FORMAT".
  void Convert(const std::string& format, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> arguments = {Mq71, "convert", "image.raw", "--raw-input",
                                          "-f", format,    "-o",        "image." + format};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const ChildResult result = RunChild(arguments, directory_.Path());
    ASSERT_EQ(result.Status, 0) << result.Err;
  }

  // Runs a reader; one that is not installed fails the test with the way to install it.
  std::string Read(const std::vector<std::string>& arguments, const std::string& package) {
    const ChildResult result = RunChild(arguments, directory_.Path());
    if (result.Status == 127) {
      ADD_FAILURE() << arguments[0] << " is not installed: make deps installs it (apt-get install "
                    << package << ")";
    }
    EXPECT_EQ(result.Status, 0) << result.Err;
    return result.Out;
  }

  // srec_cat's reading of the converted file, as the bytes of a binary image from address 0.
  std::string SrecCat(const std::string& format, const std::string& reading,
                      const std::vector<std::string>& filters = {}) {
    std::vector<std::string> arguments = {"srec_cat", "image." + format, reading};
    arguments.insert(arguments.end(), filters.begin(), filters.end());
    arguments.insert(arguments.end(), {"-o", "back.bin", "-Binary"});
    Read(arguments, "srecord");
    return ReadFile(directory_.Path() / "back.bin");
  }

  // The memory that a testbench fills with `task` from the converted file, as it prints it.
  std::vector<uint16_t> Simulate(const std::string& format, const std::string& task) {
    const std::string count = std::to_string(words_.size());
    WriteFile(directory_.Path() / "bench.v", "module bench;\n  reg [15:0] memory [0:" + count +
                                                 " - 1];\n  integer i;\n"
                                                 "  initial begin\n    " +
                                                 task + "(\"image." + format +
                                                 "\", memory);\n"
                                                 "    for (i = 0; i < " +
                                                 count +
                                                 "; i = i + 1) $display(\"word %h\", memory[i]);\n"
                                                 "    $finish;\n  end\nendmodule\n");
    Read({"iverilog", "-o", "bench.vvp", "bench.v"}, "iverilog");
    std::istringstream printed(Read({"vvp", "-n", "bench.vvp"}, "iverilog"));
    std::vector<uint16_t> memory;
    for (std::string line; std::getline(printed, line);) {
      if (line.rfind("word ", 0) == 0)
        memory.push_back(static_cast<uint16_t>(std::stoul(line.substr(5), nullptr, 16)));
    }
    return memory;
  }

  TemporaryDirectory directory_;
  std::vector<uint16_t> words_;
};

// Padded beyond 64 KiB, so that the extended linear address records are read too.
TEST_F(FormatReaders, SrecCatReadsIntelHex) {
  Convert("ihex", {"--depth", "40000"});
  std::vector<uint16_t> padded = words_;
  padded.resize(40000);
  EXPECT_TRUE(SrecCat("ihex", "-Intel") == LittleEndian(padded));
}

TEST_F(FormatReaders, SrecCatReadsMif) {
  Convert("mif");
  EXPECT_TRUE(SrecCat("mif", "-Memory_Initialization_File") == LittleEndian(words_));
}

// srec_cat lays vmem words down high byte first.
TEST_F(FormatReaders, SrecCatReadsVmem) {
  Convert("vmem");
  EXPECT_TRUE(SrecCat("vmem", "-VMem", {"-Byte_Swap", "2"}) == LittleEndian(words_));
}

TEST_F(FormatReaders, IcarusVerilogReadsVmemWithReadmemh) {
  Convert("vmem");
  EXPECT_EQ(Simulate("vmem", "$readmemh"), words_);
}

TEST_F(FormatReaders, IcarusVerilogReadsVmembWithReadmemb) {
  Convert("vmemb");
  EXPECT_EQ(Simulate("vmemb", "$readmemb"), words_);
}

}  // namespace
