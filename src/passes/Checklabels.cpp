#include <array>
#include <optional>
#include <string_view>

#include "driver/Compilerobject.h"
#include "worktable/Textutils.h"

// Label check: rows without text vanish, label parts with forbidden characters are reported, and a
// line that holds only labels is joined to the statement after it, so that from here on every row
// holds a statement with its labels in front.
//
// The pass is one sweep that builds the new table: the rows are read in order and a label-only row
// waits as the pending row until the next row is joined to it. That gives the same rows and the
// same messages, in the same order, as deleting and re-examining rows one by one.

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
  explicit LabelCheck(OutputSink& out) : out_(out) {}

  // Consumes the rows in order; `isLast` tells whether any row follows this one.
  void Take(TWorkTableObject::Row row, bool isLast) {
    if (pending_) {
      // Join: the labels, then the statement's text, under the statement's file and line.
      pending_->at(ColText) = pendingLabels_ + row[ColText];
      pending_->at(ColFile) = std::move(row[ColFile]);
      pending_->at(ColLine) = std::move(row[ColLine]);
      row = std::move(*pending_);
      pending_.reset();
    }
    Examine(std::move(row), isLast);
  }

  std::vector<TWorkTableObject::Row> TakeResult() { return std::move(result_); }
  bool Failed() const { return failed_; }

 private:
  void Examine(TWorkTableObject::Row row, bool isLast) {
    std::string statement = Trim(row[ColText]);
    const size_t lastColon = statement.rfind(':');
    if (lastColon == std::string::npos) return Keep(std::move(row));
    if (lastColon + 1 < statement.size()) {
      const std::string_view labelPart = std::string_view(statement).substr(0, lastColon + 1);
      if (HoldsLabelDelimiter(labelPart)) Report(kInvalidLabels, row, labelPart);
      return Keep(std::move(row));
    }
    if (isLast) {
      Report(kLabelWithoutInstruction, row, {});
      return Keep(std::move(row));
    }
    pendingLabels_ = std::move(statement);
    pending_ = std::move(row);
  }

  void Keep(TWorkTableObject::Row row) { result_.push_back(std::move(row)); }

  void Report(std::string_view pattern, const TWorkTableObject::Row& row,
              std::string_view labelPart) {
    out_.WriteLine(FormatMessage(pattern, {row[ColFile], row[ColLine], labelPart}));
    failed_ = true;
  }

  OutputSink& out_;
  std::vector<TWorkTableObject::Row> result_;
  std::optional<TWorkTableObject::Row> pending_;
  std::string pendingLabels_;  // the pending row's text, trimmed
  bool failed_ = false;
};

}  // namespace

int TMq71R04CompilerObject::CheckLabels() {
  const std::vector<TWorkTableObject::Row>& rows = WorkTable->Rows();
  // Rows with an empty text are dropped first (a text of blanks is not empty), so "last row"
  // below means the last row that has text.
  size_t lastWithText = rows.size();
  for (size_t r = rows.size(); r-- > 0;) {
    if (!rows[r][ColText].empty()) {
      lastWithText = r;
      break;
    }
  }
  LabelCheck check(Out);
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r][ColText].empty()) continue;
    check.Take(rows[r], r == lastWithText);
  }
  WorkTable->ReplaceRows(check.TakeResult());
  return check.Failed() ? 1 : 0;
}
