#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/Compilerobject.h"
#include "support/Textutils.h"

// Label check: rows without text vanish, label parts with forbidden characters are reported, and a
// line that holds only labels is joined to the statement after it, so that from here on every row
// holds a statement with its labels in front.
//
// The result is that of deleting each empty row and each joined-away row in turn. One walk that
// collects a run of label-only lines in one growing text, and one sweep that removes the rows,
// keep it linear however long the run.

namespace {

constexpr MessageForm kInvalidLabels =
    NativeMessage("[compiler error] %s(%s): Invalid label(s) \"%s\".");
constexpr MessageForm kLabelWithoutInstruction =
    NativeMessage("[compiler error] %s(%s): Label not refered to instruction.");

// The characters that may not stand in a label part; letters, digits, % ; ^ _, blanks and ':'
// itself may. Every character of every label is tested, so the test reads a table.
constexpr std::string_view kLabelDelimiters = "!\"#$&'()*+,-./<=>?@[\\]`{|}~";
constexpr std::array<bool, 256> kIsLabelDelimiter = [] {
  std::array<bool, 256> table{};
  for (const char c : kLabelDelimiters) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

bool IsLabelDelimiter(char c) {
  return kIsLabelDelimiter[static_cast<unsigned char>(c)];
}

class LabelCheck {
 public:
  explicit LabelCheck(TMq71R04CompilerObject& job) : job_(job), table_(*job.WorkTable) {}

  int Run() {
    const int rowCount = table_.RowCount();
    int last = rowCount - 1;  // the last row with text: a label-only line there labels nothing
    while (last >= 0 && table_.Cell(last, ColText).empty()) --last;
    // Bytes rather than bits: a flag is written and read for every row.
    std::vector<uint8_t> deleted(rowCount, true);
    for (int row = 0; row <= last; ++row) {
      const std::string_view text = table_.Cell(row, ColText);
      if (text.empty()) continue;
      if (pendingRow_ < 0) {
        deleted[row] = false;
        Examine(row, text, row == last);
      } else {
        // Joined into the pending row: the labels so far, directly followed by this row's text.
        pendingText_ += text;
        Examine(row, pendingText_, row == last);
      }
    }
    table_.DeleteRowsIf([&deleted](int row) { return deleted[row]; });
    return failed_ ? 1 : 0;
  }

 private:
  // `text` is the row's own text, or the pending labels followed by it. Trimming never removes a
  // ':', so a text without one holds no labels, trimmed or not: most rows end here, without a
  // call or a trim.
  void Examine(int row, std::string_view text, bool isLast) {
    if (!SplitAtLastColon(text).Labels.empty()) ExamineLabels(row, text, isLast);
  }

  void ExamineLabels(int row, std::string_view text, bool isLast) {
    const std::string_view statement = TrimmedView(text);
    const LabelsAndStatement split = SplitAtLastColon(statement);
    if (!split.Statement.empty()) {
      if (std::ranges::any_of(split.Labels, IsLabelDelimiter)) {
        Report(kInvalidLabels, row, split.Labels);
      }
      return FinishJoin(row);
    }
    if (isLast) {
      Report(kLabelWithoutInstruction, row, {});
      return FinishJoin(row);
    }
    // Labels only: they wait, trimmed, for the next row. A pending text begins with its first
    // label, so trimming it only shortens it.
    if (pendingRow_ < 0) {
      pendingRow_ = row;
      pendingText_.assign(statement);
    } else {
      pendingText_.resize(statement.size());
    }
  }

  // The pending row takes the joined text and the file and line of `row`, the last one joined.
  void FinishJoin(int row) {
    if (pendingRow_ < 0) return;
    table_.SetItem(pendingRow_, ColText, pendingText_);
    table_.SetItem(pendingRow_, ColFile, table_.Cell(row, ColFile));
    table_.SetItem(pendingRow_, ColLine, table_.Cell(row, ColLine));
    table_.MutableRow(pendingRow_).SetOrigin(table_.Rows()[row].Origin());
    pendingRow_ = -1;
  }

  void Report(const MessageForm& form, int row, std::string_view labels) {
    job_.ReportRow(row, form, {labels});
    failed_ = true;
  }

  TMq71R04CompilerObject& job_;
  TWorkTableObject& table_;
  int pendingRow_ = -1;      // the first of a run of label-only lines, or -1
  std::string pendingText_;  // the labels of that run, joined
  bool failed_ = false;
};

}  // namespace

int TMq71R04CompilerObject::CheckLabels() {
  return LabelCheck(*this).Run();
}
