#include <string.h>

#include <array>
#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "support/Textutils.h"

// Label check: rows without text vanish, label parts with forbidden characters are reported, and a
// line that holds only labels is joined to the statement after it, so that from here on every row
// holds a statement with its labels in front.
//
// The rule reads as deleting rows one at a time and examining a joined row again. Here the rows
// are read once, in order: a label-only row waits as the pending row, the next row's text, file and
// line are joined into it, and the joined-away rows are removed in one sweep at the end. Rows,
// messages and their order come out the same.

namespace {

constexpr std::string_view kInvalidLabels = "[compiler error] %s(%s): Invalid label(s) \"%s\".";
constexpr std::string_view kLabelWithoutInstruction =
    "[compiler error] %s(%s): Label not refered to instruction.";

// The 27 characters a label part must not hold: ! " # $ & ' ( ) * + , - . / < = > ? @ [ \ ] ` { |
// } ~ (letters, digits, % ; ^ _, blanks and ":" itself are allowed).
constexpr std::array<bool, 256> MakeLabelDelimiters() {
  std::array<bool, 256> table{};
  constexpr std::pair<int, int> ranges[] = {
      {0x21, 0x24}, {0x26, 0x2F}, {0x3C, 0x40}, {0x5B, 0x5D}, {0x60, 0x60}, {0x7B, 0x7E},
  };
  for (auto [first, last] : ranges) {
    for (int code = first; code <= last; ++code) table[code] = true;
  }
  return table;
}
constexpr std::array<bool, 256> LabelDelimiters = MakeLabelDelimiters();

bool HoldsLabelDelimiter(std::string_view labelPart) {
  for (char c : labelPart) {
    if (LabelDelimiters[static_cast<unsigned char>(c)]) return true;
  }
  return false;
}

class LabelCheck {
 public:
  LabelCheck(TWorkTableObject& table, OutputSink& out)
      : table_(table), out_(out), deleted_(table.RowCount(), 0) {}

  int Run() {
    const std::vector<TWorkTableObject::Row>& rows = table_.Rows();
    const int rowCount = table_.RowCount();
    // The last row with text; every row behind it is empty. Found first, so that one pass in
    // order does the rest.
    int last = rowCount - 1;
    while (last >= 0 && rows[last][ColText].empty()) --last;
    for (int row = 0; row <= last; ++row) {
      if (rows[row][ColText].empty()) {
        deleted_[row] = 1;
        continue;
      }
      Examine(pending_ >= 0 ? JoinIntoPending(row) : row, row == last);
    }
    for (int row = last + 1; row < rowCount; ++row) deleted_[row] = 1;
    table_.DeleteRowsIf([this](int row) { return deleted_[row] != 0; });
    return failed_ ? 1 : 0;
  }

 private:
  // The pending labels, trimmed, directly followed by the row's text, under the row's file and
  // line. The row itself is deleted.
  int JoinIntoPending(int row) {
    const int joined = pending_;
    pending_ = -1;
    const TWorkTableObject::Row& source = table_.Rows()[row];
    TWorkTableObject::Row& target = table_.MutableRow(joined);
    joinedText_.assign(TrimmedView(target[ColText]));
    joinedText_ += source[ColText];
    target.Set(ColFile, source[ColFile]);
    target.Set(ColLine, source[ColLine]);
    target.Set(ColText, joinedText_);
    deleted_[row] = 1;
    return joined;
  }

  void Examine(int row, bool isLast) {
    const std::string_view text = table_.Cell(row, ColText);
    // Most rows hold no ":" at all; one quick search settles them.
    if (text.find(':') == std::string_view::npos) return;
    const std::string_view statement = TrimmedView(text);
    // memrchr rather than rfind, which tests byte by byte: every labelled row is asked. The
    // text holds a ':', which trimming keeps, so one is found.
    const size_t lastColon = static_cast<size_t>(
        static_cast<const char*>(memrchr(statement.data(), ':', statement.size())) -
        statement.data());
    if (lastColon + 1 < statement.size()) {
      const std::string_view labelPart = statement.substr(0, lastColon + 1);
      if (HoldsLabelDelimiter(labelPart)) Report(kInvalidLabels, row, labelPart);
      return;
    }
    if (isLast) return Report(kLabelWithoutInstruction, row, {});
    pending_ = row;
  }

  void Report(std::string_view pattern, int row, std::string_view labelPart) {
    out_.WriteLine(
        FormatMessage(pattern, {table_.Cell(row, ColFile), table_.Cell(row, ColLine), labelPart}));
    failed_ = true;
  }

  TWorkTableObject& table_;
  OutputSink& out_;
  std::vector<char> deleted_;  // a byte per row: quicker to test than a bit
  std::string joinedText_;     // the text of a join, its storage kept from join to join
  int pending_ = -1;  // a label-only row waiting for the next statement; its text is not trimmed
  bool failed_ = false;
};

}  // namespace

int TMq71R04CompilerObject::CheckLabels() {
  return LabelCheck(*WorkTable, Out).Run();
}
