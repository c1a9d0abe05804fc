#include "isa/Instructiondecoder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "isa/Instructionformats.h"
#include "isa/Instructiontables.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "passes/Passtestsupport.h"

namespace {

// "mnemonic operand1, operand2" with the operands as label resolution hands them over.
std::string Text(const DecodedInstruction& instruction) {
  std::string text(instruction.Mnemonic);
  const std::string first = ResolvedOperandText(instruction.Operands[0]);
  const std::string second = ResolvedOperandText(instruction.Operands[1]);
  if (!first.empty()) text += " " + first;
  if (!second.empty()) text += ", " + second;
  return text;
}

TEST(DecodeWord, ReadsEveryFormatAndTheFoldedForms) {
  struct Case {
    uint16_t word;
    std::string text;  // empty: a data word
  };
  const Case cases[] = {
      {0x0541, "mov a1, b2"},
      {0x4b43, "movl a3, 90"},  // also the word of lrah and lral
      {0x33f0, "addl c0, 31"},
      {0x38e2, "bisl a2, 7"},
      {0x005f, "neg d7"},
      {0x204a, "ldr #2, 72"},           // the field holds 72 / 8
      {0x2245, "ldr #5, 72"},           // not divided
      {0x2142, "lsal #2, 0000101000"},  // ldr #2 would need the constant 320
      {0x0265, "mtpr #3, a5"},
      {0x0365, "mfpr a5, #3"},
      {0x0016, "push #6"},
      {0x0189, "sst 9"},
      {0x0004, "tof"},
      {0x8009, "jmp 0000001001"},
      {0x000f, "rtsc 1"},
      {0x000c, "rts"},
      {0x0000, "nop"},
      {0xffff, ""},  // no opcode 111111
      {0x0009, ""},  // between the no-operand words
  };
  for (const Case& c : cases) {
    const std::optional<DecodedInstruction> decoded = DecodeWord(c.word);
    EXPECT_EQ(decoded ? Text(*decoded) : "", c.text) << std::hex << c.word;
  }
}

TEST(DecodeWord, EveryWordReEncodesToItselfOrIsData) {
  int dataWords = 0;
  for (uint32_t word = 0; word <= 0xffff; ++word) {
    const std::optional<DecodedInstruction> decoded = DecodeWord(static_cast<uint16_t>(word));
    if (!decoded) {
      ++dataWords;
      continue;
    }
    ASSERT_EQ(EncodedWord(*decoded), word) << Text(*decoded);
    // Canonical forms: movl and ldr, and lsal only where ldr cannot say it.
    const std::string_view mnemonic = decoded->Mnemonic;
    ASSERT_TRUE(mnemonic != "lrah" && mnemonic != "lral" && mnemonic != "lsah") << Text(*decoded);
    if (mnemonic == "lsal") {
      ASSERT_TRUE(isa::IsLowSpecialRegister(decoded->Operands[0].Name)) << Text(*decoded);
      ASSERT_GT(decoded->Operands[1].Value, 31) << Text(*decoded);
    }
  }
  EXPECT_GT(dataWords, 0);
}

// Operand texts of one kind as a source writes them: none, a register, a special register, a
// number (a constant, or an address that label resolution turns into ten binary digits).
enum OperandKind { NoOperand, Register, SpecialRegister, Number, KindCount };

std::vector<std::string> OperandsOfKind(int kind) {
  std::vector<std::string> texts;
  if (kind == NoOperand) texts.push_back("");
  const auto names = [&texts](const auto& table) {
    for (const isa::TableRow& row : table) texts.emplace_back(row.Name);
  };
  if (kind == Register) names(isa::RegisterTable);
  if (kind == SpecialRegister) names(isa::SpecialRegisterTable);
  for (int value = 0; kind == Number && value <= 0x3ff; ++value) {
    texts.push_back(std::to_string(value));
  }
  return texts;
}

// The words that command recognition, label resolution and encoding make of the statements they
// accept; independent of the decoder.
std::vector<int> AssembledWords(const std::vector<std::string>& statements) {
  TMq71R04CompilerObject job;
  AddTexts(job, statements);
  job.RecognizeCommands();
  job.ResolveLabels();
  job.Encode();
  std::vector<int> words;
  const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job.Out);
  for (const std::string& code : ColumnOf(*job.WorkTable, ColCode)) {
    if (code.ends_with('b')) words.push_back(parser.ParseNumber(code) & 0xffff);
  }
  return words;
}

std::string Statement(std::string_view mnemonic, const std::string& first,
                      const std::string& second) {
  std::string text(mnemonic);
  if (!first.empty()) text += " " + first;
  if (!second.empty()) text += ", " + second;
  return text;
}

// Every mnemonic with every operand pair the passes accept: each kind of operand pair is probed
// with one sample, and the accepted kinds are enumerated in full.
std::set<int> EveryInstructionWord() {
  const std::array<std::string, KindCount> samples = {"", "a1", "#5", "1"};
  std::set<int> words;
  for (const isa::TableRow& instruction : isa::InstructionTable) {
    for (int first = 0; first < KindCount; ++first) {
      // A second operand always follows a first one.
      const int secondKinds = first == NoOperand ? 1 : KindCount;
      for (int second = 0; second < secondKinds; ++second) {
        const std::string probe = Statement(instruction.Name, samples[first], samples[second]);
        if (AssembledWords({probe}).empty()) continue;
        std::vector<std::string> statements;
        for (const std::string& operand1 : OperandsOfKind(first)) {
          for (const std::string& operand2 : OperandsOfKind(second)) {
            statements.push_back(Statement(instruction.Name, operand1, operand2));
          }
        }
        for (int word : AssembledWords(statements)) words.insert(word);
      }
    }
  }
  return words;
}

// A word decodes exactly when some instruction gives it: no instruction is lost, and nothing but
// an instruction's word is read as one.
TEST(DecodeWord, DecodesExactlyTheWordsOfInstructions) {
  const std::set<int> instructionWords = EveryInstructionWord();
  for (int word = 0; word <= 0xffff; ++word) {
    const bool decodes = DecodeWord(static_cast<uint16_t>(word)).has_value();
    ASSERT_EQ(decodes, instructionWords.count(word) == 1) << std::hex << word;
  }
  // 8192 each for movl and cmpl, 7 * 1024 register pairs, 8 * 1024 jumps, 2 * 1024 for addl and
  // subl, 8 * 512 bit operations, 2048 for ldr (and lsal), 2 * 256 for mtpr and mfpr, 10 * 32
  // single registers, 2 * 16 for sst and cst, 2 * 8 for push and pop, 11 without operands, 2 rtsc.
  EXPECT_EQ(instructionWords.size(), 40829u);
}

TEST(DecodeAddressLoad, JoinsTheHighAndTheLowByteOfOneAddress) {
  // lrah a0 / lral a0 and lsah #1 / lsal #1 of the address 291.
  const auto registers = DecodeAddressLoad(0x4020, 0x4460);
  ASSERT_TRUE(registers);
  EXPECT_EQ(Text((*registers)[0]), "lrah a0, 0100100011");
  EXPECT_EQ(Text((*registers)[1]), "lral a0, 0100100011");
  const auto specials = DecodeAddressLoad(0x2009, 0x2119);
  ASSERT_TRUE(specials);
  EXPECT_EQ(Text((*specials)[0]), "lsah #1, 0100100011");
  EXPECT_FALSE(DecodeAddressLoad(0x4020, 0x2119));  // a register and a special register
  EXPECT_FALSE(DecodeAddressLoad(0x4080, 0x4460));  // high byte 4: beyond ten bits
  EXPECT_FALSE(DecodeAddressLoad(0x0000, 0x4460));  // nop
}

}  // namespace
