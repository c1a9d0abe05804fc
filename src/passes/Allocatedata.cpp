#include <string>
#include <string_view>
#include <vector>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

// Data directives: every ".byte"/".word" row becomes one row per 16-bit data word, placed behind
// all instructions in the order the directives stand in the source; the directive's labels go in
// front of the text of its first data row. From here on one row is one word and a row index is
// the word's address.
//
// The rule reads as deleting each directive row and appending its words at the end, row by row.
// Here the directives are read in one walk, removed in one sweep and their data rows appended
// afterwards, which gives the same table: a data row appended during the walk would never qualify
// as a directive itself, since its text is labels followed by "DATA_...".

namespace {

constexpr std::string_view kDataNotAccessible =
    "[compiler warning] %s(%s): Data segment is not acssesble.";
constexpr std::string_view kByteAllocation = "DATA_BYTE_ALLOCATION";
constexpr std::string_view kWordAllocation = "DATA_WORD_ALLOCATION";
constexpr std::string_view kPadByte = "0x00";

struct LabelledStatement {
  std::string Labels;          // every "name:" in front, trimmed and run together
  std::string_view Statement;  // what follows the last label, trimmed
};

// "a: b: .word 1" gives the labels "a:b:" and the statement ".word 1". Without a label the
// statement is the whole text, untrimmed.
LabelledStatement SplitOffLabels(std::string_view text) {
  LabelledStatement result{{}, text};
  for (size_t colon = result.Statement.find(':'); colon != std::string_view::npos;
       colon = result.Statement.find(':')) {
    result.Labels += TrimmedView(result.Statement.substr(0, colon + 1));
    result.Statement = TrimmedView(result.Statement.substr(colon + 1));
  }
  return result;
}

// Directives are matched in lower case at the very start, followed by a space or a tab.
bool IsDataDirective(std::string_view statement) {
  for (std::string_view keyword : {".byte", ".word"}) {
    if (StartsWith(statement, keyword) && statement.size() > keyword.size()) {
      const char next = statement[keyword.size()];
      if (next == ' ' || next == '\t') return true;
    }
  }
  return false;
}

// A cheap test first: most rows are instructions, and a directive's text holds its keyword. One
// look for "." at a time serves both keywords, and most rows have no "." at all.
bool MayBeDirective(std::string_view text) {
  for (size_t dot = text.find('.'); dot != std::string_view::npos; dot = text.find('.', dot + 1)) {
    const std::string_view rest = text.substr(dot);
    if (StartsWith(rest, ".byte") || StartsWith(rest, ".word")) return true;
  }
  return false;
}

// The work is done in two steps so that the data rows are built once, in their final place:
// the directives are read (and their faults reported) in row order, their labels and values set
// aside; then the data rows are appended to the table, taking file and line from their directive
// rows, and the directive rows are deleted in one sweep. Labels and values stand back to back in
// one text each, so that setting them aside makes no text of its own per directive.
class DataAllocation {
 public:
  DataAllocation(TWorkTableObject& table, OutputSink& out)
      : table_(table), out_(out), parser_(TMq71R04_ASMParserObject::Bare(out)) {}

  void Run() {
    const int rowCount = table_.RowCount();
    std::vector<char> isDirective(rowCount, 0);  // a byte per row: quicker than a bit
    for (int row = 0; row < rowCount; ++row) isDirective[row] = TakeDirective(row);
    if (directives_.empty()) return;
    // With room for every data row, appending moves no row: the views of the directive rows'
    // cells stay valid while the data rows are built from them.
    table_.Reserve(rowCount + static_cast<int>(dataRowCount_));
    for (const Directive& directive : directives_) AppendDataRows(directive);
    table_.DeleteRowsIf(
        [&isDirective, rowCount](int row) { return row < rowCount && isDirective[row] != 0; });
  }

 private:
  struct Directive {
    int Row;
    bool Bytes;
    size_t LabelsEnd;   // its labels are labels_[end of the previous one, LabelsEnd)
    size_t FirstValue;  // its values are values [FirstValue, FirstValue + ValueCount)
    size_t ValueCount;
  };

  // Sets a well-formed directive aside; false leaves the row in place.
  bool TakeDirective(int row) {
    const std::string_view text = table_.Cell(row, ColText);
    if (!MayBeDirective(text)) return false;
    LabelledStatement parts = SplitOffLabels(text);
    if (!IsDataDirective(parts.Statement)) return false;
    const std::string_view file = table_.Cell(row, ColFile);
    const std::string_view line = table_.Cell(row, ColLine);
    values_.Clear();
    parser_.SplitArgumentList(parts.Statement, values_, DataSegmentList, line, file);
    // A malformed list has been reported; its row stays and fails in command recognition.
    if (values_.Status != StatusOk) return false;
    const bool bytes = Contains(parts.Statement, ".byte");
    if (parts.Labels.empty()) out_.WriteLine(FormatMessage(kDataNotAccessible, {file, line}));
    std::vector<std::string>& items = values_.Items;
    // Two bytes per word, the first one high; an odd count is padded with "0x00".
    if (bytes && items.size() % 2 != 0) items.emplace_back(kPadByte);
    dataRowCount_ += bytes ? items.size() / 2 : items.size();
    labels_ += parts.Labels;
    directives_.push_back({row, bytes, labels_.size(), valueEnds_.size(), items.size()});
    for (const std::string& item : items) {
      valueText_ += item;
      valueEnds_.push_back(valueText_.size());
    }
    return true;
  }

  std::string_view Value(size_t value) const {
    const size_t start = value == 0 ? 0 : valueEnds_[value - 1];
    return std::string_view(valueText_).substr(start, valueEnds_[value] - start);
  }

  // One row per data word; the directive's labels go in front of the first row's text only.
  void AppendDataRows(const Directive& directive) {
    const std::string_view keyword = directive.Bytes ? kByteAllocation : kWordAllocation;
    const size_t perRow = directive.Bytes ? 2 : 1;
    const size_t end = directive.FirstValue + directive.ValueCount;
    const size_t labelsStart = &directive == directives_.data() ? 0 : (&directive - 1)->LabelsEnd;
    firstText_.assign(labels_, labelsStart, directive.LabelsEnd - labelsStart);
    firstText_ += keyword;
    const std::string_view file = table_.Cell(directive.Row, ColFile);
    const std::string_view line = table_.Cell(directive.Row, ColLine);
    for (size_t value = directive.FirstValue; value < end; value += perRow) {
      const std::string_view text = value == directive.FirstValue ? firstText_ : keyword;
      const std::string_view second = directive.Bytes ? Value(value + 1) : std::string_view();
      table_.AddRow(file, line, text, Value(value), second, {}, {}, {});
    }
  }

  TWorkTableObject& table_;
  OutputSink& out_;
  TMq71R04_ASMParserObject parser_;
  OperandList values_;  // of the directive being read; its storage serves every directive
  std::vector<Directive> directives_;
  std::string labels_;             // the labels of every directive, one after another
  std::string valueText_;          // the values of every directive, one after another
  std::vector<size_t> valueEnds_;  // where each value ends in valueText_
  std::string firstText_;          // the text of a directive's first data row
  size_t dataRowCount_ = 0;
};

}  // namespace

int TMq71R04CompilerObject::AllocateData() {
  DataAllocation(*WorkTable, Out).Run();
  return 0;  // faults are reported; the rows that stay fail in command recognition
}
