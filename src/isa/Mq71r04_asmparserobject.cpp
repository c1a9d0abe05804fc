// The instruction set object: the look-ups on its three constant tables (Instructiontables.h) and
// command recognition. The text services live in Operandsyntax.cpp and Numbersyntax.cpp, the encoder
// in Instructionencoder.cpp.

#include "isa/Mq71r04_asmparserobject.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "isa/Instructiontables.h"
#include "support/Textutils.h"
#include "support/Translatorerror.h"

namespace {

using isa::InstructionTable;
using isa::RegisterTable;
using isa::SpecialRegisterTable;
using isa::TableRow;

constexpr std::string_view OperandCountMessage =
    "[compiler error] %s(%s): Invalid operand(s) count.";
constexpr std::string_view UnknownCommandMessage =
    "[compiler error]%s(%s): Unknown assembler command \"%s\".";

// Operands keep what command recognition found (at most two).
constexpr size_t MaximumOperandCount = 2;

// Note [name look-ups]
// Recognition and encoding look names up several times for every row, so the look-ups do not walk
// the tables. Every name has at most four characters, so a name and its length pack into one
// number (the key). Each table has a constant index: multiplying a key by the index's constant
// and keeping the top bits gives a slot, the constant being chosen when the program is compiled
// so that the table's keys fall into distinct slots. A slot holds the position of the row whose
// key falls there, and a look-up compares its key with that row's key, so one slot and one
// comparison decide. The names are lower case and distinct, so the position found is that of the
// only row with the name, and a name equals a row's name ignoring case exactly when its
// lower-case form does.

constexpr size_t LongestKeyName = 4;

// FoldCase, repeated here so that it is inlined: a key is made at every look-up.
constexpr char LowerCaseAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// LowerCaseAscii of every byte, looked up rather than worked out: a look-up folds every character
// of every name it is given.
constexpr std::array<unsigned char, 256> LowerCaseBytes = [] {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[static_cast<size_t>(c)] =
        static_cast<unsigned char>(LowerCaseAscii(static_cast<char>(c)));
  }
  return table;
}();

// The length, then one byte per character: distinct names of up to four characters give distinct
// keys. `fold` packs the lower-case form.
constexpr uint64_t NameKey(std::string_view name, bool fold) {
  uint64_t key = name.size();
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    key = (key << 8) | (fold ? LowerCaseBytes[byte] : byte);
  }
  return key;
}

// Eight slots per row keep a constant easy to find; no slot index needs more than a byte.
constexpr int SlotBits(size_t rowCount) {
  int bits = 0;
  while ((size_t{1} << bits) < 8 * rowCount) ++bits;
  return bits;
}

template <size_t Size>
struct NameIndex {
  static constexpr int Bits = SlotBits(Size);
  uint64_t Multiplier = 0;
  std::array<uint64_t, Size> Keys{};              // by row position
  std::array<int8_t, size_t{1} << Bits> Slots{};  // row position, or -1 for no row

  constexpr size_t SlotOf(uint64_t key) const { return (key * Multiplier) >> (64 - Bits); }
};

// Tries odd constants in turn until every key of the table has a slot of its own.
template <size_t Size>
constexpr NameIndex<Size> MakeIndex(const std::array<TableRow, Size>& table) {
  static_assert(Size < 128, "positions are kept in a byte");
  NameIndex<Size> index;
  for (size_t position = 0; position < Size; ++position) {
    index.Keys[position] = NameKey(table[position].Name, false);
  }
  constexpr int Attempts = 10000;
  uint64_t candidate = 0x9E3779B97F4A7C15u;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    candidate = candidate * 6364136223846793005u + 1442695040888963407u;
    index.Multiplier = candidate | 1u;
    index.Slots.fill(-1);
    bool distinct = true;
    for (size_t position = 0; position < Size && distinct; ++position) {
      int8_t& slot = index.Slots[index.SlotOf(index.Keys[position])];
      distinct = slot < 0;
      slot = static_cast<int8_t>(position);
    }
    if (distinct) return index;
  }
  throw "no constant gives every name a slot of its own";
}

template <size_t Size>
constexpr bool NamesAreShortLowerCaseAndDistinct(const std::array<TableRow, Size>& table) {
  for (size_t i = 0; i < Size; ++i) {
    if (table[i].Name.size() > LongestKeyName) return false;
    for (char c : table[i].Name) {
      if (c >= 'A' && c <= 'Z') return false;
    }
    for (size_t j = i + 1; j < Size; ++j) {
      if (table[i].Name == table[j].Name) return false;
    }
  }
  return true;
}
static_assert(NamesAreShortLowerCaseAndDistinct(InstructionTable));
static_assert(NamesAreShortLowerCaseAndDistinct(RegisterTable));
static_assert(NamesAreShortLowerCaseAndDistinct(SpecialRegisterTable));

constexpr auto InstructionIndex = MakeIndex(InstructionTable);
constexpr auto RegisterIndex = MakeIndex(RegisterTable);
constexpr auto SpecialRegisterIndex = MakeIndex(SpecialRegisterTable);

// Position of the row named `name` (compared exactly, or ignoring case with `fold`), or -1.
template <size_t Size>
int FindName(const NameIndex<Size>& index, std::string_view name, bool fold) {
  if (name.size() > LongestKeyName) return -1;
  const uint64_t key = NameKey(name, fold);
  const int position = index.Slots[index.SlotOf(key)];
  return position >= 0 && index.Keys[static_cast<size_t>(position)] == key ? position : -1;
}

}  // namespace

TMq71R04_ASMParserObject::TMq71R04_ASMParserObject(OutputSink& out)
    : TMq71R04_ASMParserObject(out, true) {}

TMq71R04_ASMParserObject::TMq71R04_ASMParserObject(OutputSink& out, bool withTables)
    : out_(&out), hasTables_(withTables) {}

TMq71R04_ASMParserObject TMq71R04_ASMParserObject::Bare(OutputSink& out) {
  return TMq71R04_ASMParserObject(out, false);
}

void TMq71R04_ASMParserObject::ThrowWithoutTables() {
  throw TranslatorError("Instruction set object built without its tables was asked to look up");
}

int TMq71R04_ASMParserObject::FindInstruction(std::string_view name) const {
  RequireTables();
  return FindName(InstructionIndex, name, true);
}

std::string_view TMq71R04_ASMParserObject::InstructionValue(int position) const {
  RequireTables();
  if (position < 0 || static_cast<size_t>(position) >= InstructionTable.size()) {
    throw std::out_of_range("table position " + std::to_string(position) + " out of bounds");
  }
  return InstructionTable[static_cast<size_t>(position)].Value;
}

// Register names may be written in any case, so the look-up by name ignores it.
std::string_view TMq71R04_ASMParserObject::RegisterCode(std::string_view name) const {
  RequireTables();
  const int position = FindName(RegisterIndex, name, true);
  return position >= 0 ? RegisterTable[static_cast<size_t>(position)].Value : std::string_view();
}

std::string_view TMq71R04_ASMParserObject::SpecialRegisterCode(std::string_view name) const {
  RequireTables();
  const int position = FindName(SpecialRegisterIndex, name, true);
  return position >= 0 ? SpecialRegisterTable[static_cast<size_t>(position)].Value
                       : std::string_view();
}

int TMq71R04_ASMParserObject::Report(std::string_view pattern, std::string_view file,
                                     std::string_view line, std::string_view detail) const {
  out_->WriteLine(FormatMessage(pattern, {file, line, detail}));
  return 1;
}

// Decides only whether the command exists and has at most two operands; whether the operands
// suit it is the encoder's business. The command is always set; the code only for a known
// instruction, and the operands only when there are at most two.
int TMq71R04_ASMParserObject::ParseStatement(std::string_view statement, std::string_view file,
                                             std::string_view line, RecognisedCells& cells) const {
  // Tabs count as spaces here, so a tab inside an operand makes the list malformed.
  OperandViews operands;
  if (SplitStatement(statement, cells.Command, operands) != 0) return 1;
  const std::string_view command = cells.Command;

  // Source commands are recognised letter for letter: the table is lower case, so MOV is unknown
  // here although the encoder's look-up by name finds it.
  RequireTables();
  const int position = FindName(InstructionIndex, command, false);
  if (position >= 0) {
    cells.Code = InstructionTable[static_cast<size_t>(position)].Value;
    if (operands.Count > MaximumOperandCount) return Report(OperandCountMessage, file, line);
    cells.Operand1 = operands.First[0];
    cells.Operand2 = operands.First[1];
    return 0;
  }
  if (command == DataByteCommand || command == DataWordCommand) return 0;
  // A row that held only labels has no command and passes.
  if (command.empty()) return 0;
  return Report(UnknownCommandMessage, file, line, command);
}
