// The disassembler's promise, through the real executables: mq71 disasm, then mq71asm with the
// options the disassembly names, gives the image back byte for byte.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "isa/Instructiondecoder.h"
#include "support/Childprocess.h"
#include "support/Testsupport.h"

namespace {

namespace fs = std::filesystem;

const std::string Mq71 = std::string(MQ71_BIN_DIR) + "/mq71";
const std::string Mq71asm = std::string(MQ71_BIN_DIR) + "/mq71asm";

// The image that mq71asm writes from `source` in `directory`; empty when it writes none.
std::string Assemble(const fs::path& directory, const std::string& sourceName,
                     const std::vector<std::string>& options) {
  std::vector<std::string> arguments = {Mq71asm, "-rd=" + directory.string(), "-sl=" + sourceName,
                                        "-of=out.bin"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  fs::remove(directory / "out.bin");
  const ChildResult result = RunChild(arguments, directory);
  EXPECT_EQ(result.Out.find("error]"), std::string::npos) << result.Out;
  return fs::exists(directory / "out.bin") ? ReadFile(directory / "out.bin") : "";
}

// The options on the disassembly's "Rebuild:" line, after the placeholders.
std::vector<std::string> RebuildOptions(const std::string& source) {
  const std::string head = "; Rebuild: mq71asm -rd=DIR -sl=FILE -of=IMAGE";
  const size_t at = source.find(head);
  if (at == std::string::npos) return {"(no rebuild line)"};
  const size_t start = at + head.size();
  std::istringstream line(source.substr(start, source.find('\n', start) - start));
  std::vector<std::string> options;
  for (std::string option; line >> option;) options.push_back(option);
  return options;
}

void ExpectRoundTrip(const std::string& image, bool raw) {
  const TemporaryDirectory directory;
  WriteFile(directory.Path() / "image.bin", image);
  std::vector<std::string> disasm = {Mq71, "disasm", "image.bin", "-o", "back.asm"};
  if (raw) disasm.push_back("--raw-input");
  const ChildResult disassembled = RunChild(disasm, directory.Path());
  ASSERT_EQ(disassembled.Status, 0) << disassembled.Err;
  EXPECT_EQ(disassembled.Err, "");  // an image of mq71asm needs no warning
  const std::string source = ReadFile(directory.Path() / "back.asm");
  const std::string rebuilt = Assemble(directory.Path(), "back.asm", RebuildOptions(source));
  ASSERT_EQ(rebuilt.size(), image.size()) << source;
  EXPECT_TRUE(rebuilt == image) << source;
}

TEST(DisasmRoundTrip, ExampleProject) {
  const TemporaryDirectory directory;
  fs::copy(MQ71_EXAMPLES_DIR, directory.Path(), fs::copy_options::recursive);
  const std::string library = "-ip=" + (directory.Path() / "lib").string();
  for (const bool raw : {false, true}) {
    std::vector<std::string> options = {library, "-cs=checksum", "-mh=fault", "-is=2048"};
    if (raw) options.push_back("-ro");
    const std::string image = Assemble(directory.Path(), "blink.asm", options);
    ASSERT_FALSE(image.empty());
    ExpectRoundTrip(image, raw);
  }
}

// Every instruction word, then every other word as data: each decodable word once in the program.
TEST(DisasmRoundTrip, EveryWord) {
  std::string instructions;
  std::string data;
  for (uint32_t word = 0; word <= 0xffff; ++word) {
    std::string& part = DecodeWord(static_cast<uint16_t>(word)) ? instructions : data;
    part += {static_cast<char>(word & 0xff), static_cast<char>(word >> 8)};
  }
  ExpectRoundTrip(instructions + data, true);
}

// Statement forms with their operands: R register, S special register, B byte, F five bits,
// N four bits, T a flag bit, L a label or an address.
const std::vector<std::pair<std::vector<std::string>, std::string>> Forms = {
    {{"mov", "cmp", "add", "sub", "and", "or", "xor"}, " R, R"},
    {{"movl", "cmpl"}, " R, B"},
    {{"addl", "subl"}, " R, F"},
    {{"bich", "bicl", "bish", "bisl", "btgh", "btgl", "btth", "bttl"}, " R, N"},
    {{"swap", "neg", "not", "shl", "shr", "shra", "rlc", "rrc", "adc", "sbc"}, " R"},
    {{"ldr"}, " S, B"},
    {{"mtpr"}, " S, R"},
    {{"mfpr"}, " R, S"},
    {{"push", "pop"}, " S"},
    {{"sst", "cst"}, " N"},
    {{"nop", "wait", "slp", "rst", "sksp", "tof", "tdc", "ijmp", "ijsr", "rts", "rti"}, ""},
    {{"jmp", "jsr", "jnz", "jz", "jns", "js", "jnc", "jc"}, " L"},
    {{"rtsc"}, " T"},
    {{"lrah", "lral"}, " R, L"},
    {{"lsah", "lsal"}, " S, L"},
};

class RandomProgram {
 public:
  explicit RandomProgram(unsigned seed) : random_(seed) {}

  // Statements and data directives with labels (named unlike any register), and the options to
  // assemble them with.
  std::string Source(std::vector<std::string>& options) {
    const int statements = Between(1, 60);
    for (int i = 0; i < statements; i += 3) labels_.push_back("code" + std::to_string(i));
    const int directives = Between(0, 4);
    for (int i = 0; i < directives; ++i) labels_.push_back("data" + std::to_string(i));
    std::string source;
    for (int i = 0; i < statements; ++i) {
      if (i % 3 == 0) source += "code" + std::to_string(i) + ": ";
      source += Statement() + "\n";
    }
    for (const std::string& label : labels_) {
      if (label.starts_with("data")) source += label + ": " + DataDirective() + "\n";
    }
    // The handler may also be the checksum's label, or a name that no label has.
    const bool checksum = Between(0, 1) == 1;
    if (checksum) options.push_back("-cs=sum");
    std::vector<std::string> handlers = labels_;
    handlers.insert(handlers.end(), {checksum ? "sum" : "nowhere", "nowhere"});
    if (Between(0, 1) == 1) options.push_back("-mh=" + handlers[Index(handlers.size())]);
    if (Between(0, 1) == 1) options.push_back("-is=" + std::to_string(Between(0, 300)));
    if (Between(0, 3) == 0) options.push_back("-ro");
    return source;
  }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }
  size_t Index(size_t size) { return static_cast<size_t>(Between(0, static_cast<int>(size) - 1)); }

  // One statement, or now and then the loads of a label's address into a register pair.
  std::string Statement() {
    if (Between(0, 9) == 0) {
      const std::string target = labels_[Index(labels_.size())];
      return Between(0, 1) == 0 ? "lrah a2, " + target + "\nlral a3, " + target
                                : "lsah #4, " + target + "\nlsal #5, " + target;
    }
    const auto& [mnemonics, operands] = Forms[Index(Forms.size())];
    std::string text = mnemonics[Index(mnemonics.size())];
    for (char c : operands) text += Operand(c);
    return text;
  }

  std::string Operand(char kind) {
    switch (kind) {
      // Appended to a named text: GCC 12 warns falsely (-Wrestrict) of a literal plus a temporary.
      case 'R': {
        std::string name(1, "abcdABCD"[Between(0, 7)]);
        return name += std::to_string(Between(0, 7));
      }
      case 'S': {
        std::string name = "#";
        return name += std::to_string(Between(0, 7));
      }
      case 'B':
        return std::to_string(Between(0, 255));
      case 'F':
        return std::to_string(Between(0, 31));
      case 'N':
        return std::to_string(Between(0, 15));
      case 'T':
        return std::to_string(Between(0, 1));
      case 'L':
        return Between(0, 4) > 0 ? labels_[Index(labels_.size())]
                                 : std::to_string(Between(0, 0x3ff));
    }
    return std::string(1, kind);
  }

  std::string DataDirective() {
    const bool bytes = Between(0, 1) == 0;
    std::string text = bytes ? ".byte " : ".word ";
    for (int i = Between(1, 5); i > 0; --i) {
      text += std::to_string(Between(0, bytes ? 0xff : 0xffff)) + (i > 1 ? ", " : "");
    }
    return text;
  }

  std::mt19937 random_;
  std::vector<std::string> labels_;
};

TEST(DisasmRoundTrip, RandomPrograms) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const TemporaryDirectory directory;
    std::vector<std::string> options;
    WriteFile(directory.Path() / "main.asm", RandomProgram(seed).Source(options));
    const std::string image = Assemble(directory.Path(), "main.asm", options);
    ASSERT_FALSE(image.empty()) << ReadFile(directory.Path() / "main.asm");
    const bool raw = std::find(options.begin(), options.end(), "-ro") != options.end();
    ExpectRoundTrip(image, raw);
  }
}

}  // namespace
