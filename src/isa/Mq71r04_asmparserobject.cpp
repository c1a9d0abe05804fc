// The instruction set object: the look-ups on its three constant tables (Instructiontables.h) and
// command recognition. The text services live in Operandsyntax.cpp and Numbersyntax.cpp, the
// encoder in Instructionencoder.cpp.

#include "isa/Mq71r04_asmparserobject.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "isa/Instructiontables.h"
#include "support/Translatorerror.h"

namespace {

using isa::InstructionTable;
using isa::RegisterTable;
using isa::SpecialRegisterTable;
using isa::TableRow;

constexpr MessageForm OperandCountMessage =
    NativeMessage("[compiler error] %s(%s): Invalid operand(s) count.");
constexpr MessageForm UnknownCommandMessage =
    NativeMessage("[compiler error]%s(%s): Unknown assembler command \"%s\".");

// Operands keep what command recognition found (at most two).
constexpr size_t MaximumOperandCount = 2;

// Note [name look-ups]
// Recognition and encoding look up several names for every row: walking the tables for them
// would add more than half to the time of a whole translation. Every name has at most four
// characters, so a name and its length pack into one number, its key, and each table is indexed
// by the keys of its names. The names are lower case and distinct, so a name equals a row's name
// ignoring case exactly when the key of its lower-case form is that row's key.
constexpr size_t LongestName = 4;

// Every character of a name looked up ignoring case is folded: from a table, one load each.
constexpr std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> folded{};
  for (size_t c = 0; c < folded.size(); ++c) {
    folded[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return folded;
}();

uint64_t NameKey(std::string_view name, bool foldCase) {
  uint64_t key = name.size();
  for (const char c : name) {
    const unsigned char code = static_cast<unsigned char>(c);
    key = (key << 8) | (foldCase ? kFolded[code] : code);
  }
  return key;
}

template <size_t Size>
constexpr bool NamesAreShortLowerCaseAndDistinct(const std::array<TableRow, Size>& table) {
  for (size_t i = 0; i < Size; ++i) {
    if (table[i].Name.size() > LongestName) return false;
    for (const char c : table[i].Name) {
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

using PositionsByKey = std::unordered_map<uint64_t, int>;

template <size_t Size>
PositionsByKey IndexOf(const std::array<TableRow, Size>& table) {
  PositionsByKey positions;
  for (size_t position = 0; position < Size; ++position) {
    positions.emplace(NameKey(table[position].Name, false), static_cast<int>(position));
  }
  return positions;
}

const PositionsByKey InstructionIndex = IndexOf(InstructionTable);
const PositionsByKey RegisterIndex = IndexOf(RegisterTable);
const PositionsByKey SpecialRegisterIndex = IndexOf(SpecialRegisterTable);

// Position of the row named `name` (compared exactly, or ignoring case), or -1.
int FindName(const PositionsByKey& index, std::string_view name, bool ignoringCase) {
  if (name.size() > LongestName) return -1;
  const auto found = index.find(NameKey(name, ignoringCase));
  return found == index.end() ? -1 : found->second;
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

int TMq71R04_ASMParserObject::Report(const MessageForm& form, std::string_view file,
                                     std::string_view line, std::string_view detail) const {
  out_->Report(form, SourcePlace::At(file, line), {detail});
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
