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
};

// What command recognition makes of one statement. The caller fills the cells with the row's
// current texts; recognition replaces those it decides with views into the statement or into the
// constant tables, so that the caller writes the row once.
struct RecognisedCells {
  std::string_view Command;
  std::string_view Operand1;
  std::string_view Operand2;
  std::string_view Code;
};

// The instruction set object of the Mq71R04 core: its vocabulary (instruction, register and
// special-register tables, in Instructiontables.h), the text services for statements and
// numbers, command recognition and the encoder. The tables are constant data shared by every
// object, so a full object costs no more to make than a bare one.
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

  // The instruction table: position of the first row whose name equals `name` ignoring letter
  // case, or -1; and the value of the row at a position ("000001", "__PSEUDO", ...).
  int FindInstruction(std::string_view name) const;
  std::string_view InstructionValue(int position) const;
  // The code of the register (or special register) named `name` ignoring letter case, or an
  // empty text when there is none. Codes are never empty.
  std::string_view RegisterCode(std::string_view name) const;
  std::string_view SpecialRegisterCode(std::string_view name) const;

  // Text services.
  // The command word after the labels, up to the first blank: a view into `statement`.
  std::string_view ExtractCommand(std::string_view statement) const;
  int SplitArgumentList(std::string_view statement, OperandList& list, ArgumentListKind kind,
                        std::string_view lineText, std::string_view fileName) const;
  int32_t ParseNumber(std::string_view text) const;
  // Bits 12 down to 0 that lie below `width`: the low min(width, 13) bits of `value`, most
  // significant first; a width of 0 or less gives the empty text.
  static std::string IntToBits(int32_t value, int width);
  // The length of IntToBits(value, width), and its characters written at `to` (returning their
  // end), for callers that put the bits into a text of their own.
  static size_t BitCount(int width);
  static char* WriteBits(int32_t value, int width, char* to);
  // Digit strings in base 2: the exact value's low 32 bits; false on a digit other than 0 and 1.
  // An empty string is 0.
  static bool BinaryToInt(std::string_view digits, int32_t& value);
  // The general text-to-integer conversion behind ParseNumber: leading spaces, an optional sign,
  // hexadecimal after "$", "x", "X", "0x" or "0X" (unsigned only, taken as a 32-bit pattern) or
  // signed 32-bit decimal, and nothing after the digits. False when the text is not such a
  // number; `value` is then left unchanged.
  static bool ConvertInteger(std::string_view text, int32_t& value);

  // Command recognition of a statement without labels whose row is headed by `file` and `line`
  // (for messages); 0 when acceptable. Writes nothing but `cells`.
  int ParseStatement(std::string_view statement, std::string_view file, std::string_view line,
                     RecognisedCells& cells) const;
  // Encodes one row into its machine word; 0 when encoded. Data faults go through the sink's
  // LastDataMessage, so one directive's fault is printed once however many words it gives.
  int TranslateLine(int row, TWorkTableObject& table);

 private:
  TMq71R04_ASMParserObject(OutputSink& out, bool withTables);

  // The operands of a statement as views into it: the first two, and how many there are.
  struct OperandViews {
    std::array<std::string_view, 2> First;
    size_t Count = 0;
  };
  // Command recognition's split of a statement without labels, in one pass: the command word up
  // to the first blank and the comma-separated operands, a tab counting as a space.
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
                        TWorkTableObject& table);
  int EncodeDataByte(int row, TWorkTableObject& table) const;
  int EncodeDataWord(int row, TWorkTableObject& table) const;
  // Reports a diagnostic at the row's file and line and returns failure (1).
  int Report(const MessageForm& form, std::string_view file, std::string_view line,
             std::string_view detail = {}) const;
  // As Report, but a message equal to the last data message printed is not printed again.
  int ReportDataFault(const MessageForm& form, int row, const TWorkTableObject& table) const;

  OutputSink* out_;
  bool hasTables_;
  std::string word_;  // the word being encoded, its room kept from row to row
};
