#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/Outputsink.h"
#include "worktable/Worktableobject.h"

enum ArgumentListKind { DataSegmentList = 0, MacroArgumentList = 1 };
enum ArgumentListStatus { StatusOk = 0, StatusInvalid = 1, StatusNoArguments = 2 };

// Operand or argument texts of one statement, with the status of the split.
struct OperandList {
  std::vector<std::string> Items;
  int Status = StatusOk;

  // Back to a fresh list, keeping the storage for the next statement.
  void Clear() {
    Items.clear();
    Status = StatusOk;
  }
};

// The instruction set object of the Mq71R04 core: its vocabulary (instruction, register and
// special-register tables), the text services for statements and numbers, command recognition
// and the encoder. The tables are constant data shared by every object, so a full object costs
// no more to make than a bare one.
// What command recognition makes of one statement. The caller fills the cells with the row's
// current texts; recognition replaces those it decides with views into the statement or into the
// constant tables, so that the caller writes the row once.
struct RecognisedCells {
  std::string_view Command;
  std::string_view Operand1;
  std::string_view Operand2;
  std::string_view Code;
};

class TMq71R04_ASMParserObject {
 public:
  // What ParseNumber returns for a text that is not a number (0x0FFFFFFF).
  static constexpr int32_t InvalidNumber = 268435455;
  // The command words of the rows that the data directives become: not instructions, and
  // recognised and encoded separately.
  static constexpr std::string_view DataByteCommand = "DATA_BYTE_ALLOCATION";
  static constexpr std::string_view DataWordCommand = "DATA_WORD_ALLOCATION";

  // Full construction: with the tables. Messages go to `out`.
  explicit TMq71R04_ASMParserObject(OutputSink& out);
  // Bare construction: text services only; no table look-up may be made on it.
  static TMq71R04_ASMParserObject Bare(OutputSink& out);

  // Tables: position of the first row whose name equals `name` ignoring letter case, or -1.
  int FindInstruction(std::string_view name) const;
  int FindRegister(std::string_view name) const;
  int FindSpecialRegister(std::string_view name) const;
  // Value of the row at a position ("000001", "__PSEUDO", ...).
  std::string InstructionValue(int position) const;
  std::string RegisterValue(int position) const;
  std::string SpecialRegisterValue(int position) const;
  // The same values as views of the constant tables, valid for the whole run, for the encoder.
  std::string_view InstructionValueView(int position) const;
  std::string_view RegisterValueView(int position) const;
  std::string_view SpecialRegisterValueView(int position) const;
  // The value of the register (or special register) named `name` ignoring case, or an empty view
  // when there is none: the look-up and the value in one step, for the encoder.
  std::string_view RegisterValueViewOf(std::string_view name) const;
  std::string_view SpecialRegisterValueViewOf(std::string_view name) const;
  // Position of the first instruction whose name equals `command` exactly, or -1.
  int ScanInstructionExact(std::string_view command) const;

  // Text services.
  std::string ExtractCommand(std::string_view statement) const;
  // The same command word as a view into `statement`, for callers that only compare or look it up.
  std::string_view ExtractCommandView(std::string_view statement) const;
  int SplitOperands(std::string_view statement, OperandList& list) const;
  int SplitArgumentList(std::string_view statement, OperandList& list, ArgumentListKind kind,
                        std::string_view lineText, std::string_view fileName) const;
  int32_t ParseNumber(std::string_view text) const;
  std::string IntToBits(int32_t value, int width) const;
  // The same bits written onto the end of `bits`, so that a word is built in one string.
  static void AppendBits(std::string& bits, int32_t value, int width);
  // The same bits written into `digits`, for a caller that puts a text together on the stack;
  // the view is of `digits`.
  static constexpr int LongestBitField = 13;
  static std::string_view WriteBits(std::array<char, LongestBitField>& digits, int32_t value,
                                    int width);

  // Digit strings in base 2 (and 8): the exact value's low 32 bits; false on a digit outside the
  // base. An empty string is 0.
  static bool BinaryToInt(std::string_view digits, int32_t& value);

  // The general text-to-integer conversion behind ParseNumber: leading spaces, an optional sign,
  // hexadecimal after "$", "x", "X", "0x" or "0X" (unsigned only, taken as a 32-bit pattern) or
  // signed 32-bit decimal, and nothing after the digits. False when the text is not such a
  // number; `value` is then left unchanged.
  static bool ConvertInteger(std::string_view text, int32_t& value);

  // Command recognition of one row; 0 when acceptable.
  int ParseStatement(int row, TWorkTableObject& table);
  // The same for a statement without labels whose row is headed by `file` and `line` (for
  // messages), without writing anything but `cells`.
  int RecogniseStatement(std::string_view statement, std::string_view file, std::string_view line,
                         RecognisedCells& cells) const;
  // Encodes one row into its machine word; 0 when encoded. Data faults go through the sink's
  // LastDataMessage, so one directive's fault is printed once however many words it gives.
  int TranslateLine(int row, TWorkTableObject& table);

  // An operand list for callers of the text services; command recognition does not use it.
  OperandList Operands;

 private:
  TMq71R04_ASMParserObject(OutputSink& out, bool withTables);

  static bool OctalToInt(std::string_view digits, int32_t& value);
  // The operands of a statement as views into it: the first two, and how many there are.
  struct OperandViews {
    std::array<std::string_view, 2> First;
    size_t Count = 0;
  };
  // What follows the labels of a statement: the trimmed text after its last ":", or the whole
  // statement when it holds no ":".
  static std::string_view StatementAfterLabels(std::string_view statement);
  // Command recognition's split of a statement without labels, in one pass: ExtractCommand's word
  // and SplitOperands' list, except that a tab inside an operand counts as a space and makes the
  // list malformed.
  static int SplitStatement(std::string_view statement, std::string_view& command,
                            OperandViews& operands);

  // Throws when the object was built bare: table look-ups need full construction. Inline, as
  // every look-up asks; the throw stays out of line.
  void RequireTables() const {
    if (!hasTables_) ThrowWithoutTables();
  }
  [[noreturn]] static void ThrowWithoutTables();

  // `cells` is the row `row` of `table`, already checked.
  int EncodeInstruction(int position, int row, const TWorkTableObject::Row& cells,
                        TWorkTableObject& table) const;
  int EncodeDataByte(int row, TWorkTableObject& table) const;
  int EncodeDataWord(int row, TWorkTableObject& table) const;
  // Prints a message headed by the row's file and line and returns failure (1).
  int Report(std::string_view pattern, int row, const TWorkTableObject& table,
             std::string_view detail = {}) const;
  int Report(std::string_view pattern, std::string_view file, std::string_view line,
             std::string_view detail = {}) const;
  // As Report, but a message equal to the last data message printed is not printed again.
  int ReportDataFault(std::string_view pattern, int row, const TWorkTableObject& table) const;

  OutputSink* out_;
  bool hasTables_;
};
