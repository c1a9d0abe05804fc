#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "worktable/Textutils.h"

// Data directives: every ".byte"/".word" row becomes one row per 16-bit data word, placed behind
// all instructions in the order the directives stand in the source; the directive's labels go in
// front of the text of its first data row. From here on one row is one word and a row index is
// the word's address.
//
// The rule reads as deleting each directive row and appending its words at the end, row by row.
// Here the directives are removed in one sweep and their data rows appended afterwards, which gives
// the same table: data rows appended during the walk never qualify as directives, since their text
// is labels followed by "DATA_...".

namespace {

constexpr std::string_view kDataNotAccessible =
    "[compiler warning] %s(%s): Data segment is not acssesble.";
constexpr std::string_view kByteAllocation = "DATA_BYTE_ALLOCATION";
constexpr std::string_view kWordAllocation = "DATA_WORD_ALLOCATION";
constexpr std::string_view kPadByte = "0x00";

struct LabelledStatement {
  std::string Labels;     // every "name:" in front, trimmed and run together
  std::string Statement;  // what follows the last label, trimmed
};

// "a: b: .word 1" gives the labels "a:b:" and the statement ".word 1".
LabelledStatement SplitOffLabels(std::string_view text) {
  LabelledStatement result{{}, std::string(text)};
  for (size_t colon = result.Statement.find(':'); colon != std::string::npos;
       colon = result.Statement.find(':')) {
    result.Labels += Trim(std::string_view(result.Statement).substr(0, colon + 1));
    result.Statement = Trim(std::string_view(result.Statement).substr(colon + 1));
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

class DataAllocation {
 public:
  explicit DataAllocation(OutputSink& out)
      : out_(out), parser_(TMq71R04_ASMParserObject::Bare(out)) {}

  // Turns one row into data rows when it is a well-formed directive; false leaves it in place.
  bool TakeDirective(const TWorkTableObject::Row& row) {
    if (!MayBeDirective(row[ColText])) return false;
    LabelledStatement parts = SplitOffLabels(row[ColText]);
    if (!IsDataDirective(parts.Statement)) return false;
    OperandList values;
    parser_.SplitArgumentList(parts.Statement, values, DataSegmentList, row[ColLine], row[ColFile]);
    // A malformed list has been reported; its row stays and fails in command recognition.
    if (values.Status != StatusOk) return false;
    if (Contains(parts.Statement, ".byte")) {
      AppendBytes(row, parts.Labels, values.Items);
    } else {
      AppendWords(row, parts.Labels, values.Items);
    }
    if (parts.Labels.empty()) {
      out_.WriteLine(FormatMessage(kDataNotAccessible, {row[ColFile], row[ColLine]}));
    }
    return true;
  }

  std::vector<TWorkTableObject::Row>& DataRows() { return dataRows_; }

 private:
  // Two bytes per word, the first one high; an odd count is padded with "0x00".
  void AppendBytes(const TWorkTableObject::Row& row, std::string labels,
                   std::vector<std::string>& bytes) {
    if (bytes.size() % 2 != 0) bytes.emplace_back(kPadByte);
    for (size_t i = 0; i < bytes.size(); i += 2) {
      AppendDataRow(row, labels, kByteAllocation, std::move(bytes[i]), std::move(bytes[i + 1]));
      labels.clear();
    }
  }

  void AppendWords(const TWorkTableObject::Row& row, std::string labels,
                   std::vector<std::string>& words) {
    for (std::string& word : words) {
      AppendDataRow(row, labels, kWordAllocation, std::move(word), {});
      labels.clear();
    }
  }

  void AppendDataRow(const TWorkTableObject::Row& row, const std::string& labels,
                     std::string_view keyword, std::string first, std::string second) {
    dataRows_.push_back(TWorkTableObject::Row{row[ColFile], row[ColLine],
                                              labels + std::string(keyword), std::move(first),
                                              std::move(second), "", "", ""});
  }

  OutputSink& out_;
  TMq71R04_ASMParserObject parser_;
  std::vector<TWorkTableObject::Row> dataRows_;
};

}  // namespace

int TMq71R04CompilerObject::AllocateData() {
  const std::vector<TWorkTableObject::Row>& rows = WorkTable->Rows();
  std::vector<bool> directive(rows.size(), false);
  DataAllocation allocation(Out);
  for (size_t row = 0; row < rows.size(); ++row)
    directive[row] = allocation.TakeDirective(rows[row]);
  WorkTable->DeleteRowsWhere(directive);
  for (TWorkTableObject::Row& dataRow : allocation.DataRows())
    WorkTable->AddRow(std::move(dataRow));
  return 0;  // faults are reported; the rows that stay fail in command recognition
}
