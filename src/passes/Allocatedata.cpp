#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
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
// The directives are read in one walk and removed in one sweep, and their data rows appended
// after that. This equals deleting each directive row and appending its words in turn: a data row
// never qualifies as a directive itself, since its text is labels followed by "DATA_...".

namespace {

using Parser = TMq71R04_ASMParserObject;

constexpr MessageForm kDataNotAccessible =
    NativeMessage("[compiler warning] %s(%s): Data segment is not acssesble.");
constexpr std::string_view kPadByte = "0x00";

// A directive read from its row: what its data rows are made of.
struct Directive {
  std::string File;
  std::string Line;
  int Origin;          // the macro call the directive came from, as its row says
  std::string Labels;  // "a: b: .word 1" gives "a:b:": each label trimmed, run together
  bool Bytes;          // two values to a word, the first one high
  std::vector<std::string> Values;
};

std::string JoinedLabels(std::string_view labels) {
  std::string joined;
  for (size_t colon = labels.find(':'); colon != std::string_view::npos; colon = labels.find(':')) {
    joined += TrimmedView(labels.substr(0, colon + 1));
    labels.remove_prefix(colon + 1);
  }
  return joined;
}

// Directives are matched in lower case at the very start, followed by a space or a tab.
bool IsDataDirective(std::string_view statement) {
  for (std::string_view keyword : {".byte", ".word"}) {
    if (statement.starts_with(keyword) && statement.size() > keyword.size()) {
      const char next = statement[keyword.size()];
      if (next == ' ' || next == '\t') return true;
    }
  }
  return false;
}

class DataAllocation {
 public:
  explicit DataAllocation(TMq71R04CompilerObject& job)
      : job_(job), table_(*job.WorkTable), parser_(Parser::Bare(job.Out)) {}

  void Run() {
    const int rowCount = table_.RowCount();
    // Bytes rather than bits: a flag is written and read for every row.
    std::vector<uint8_t> isDirective(rowCount, false);
    std::vector<Directive> directives;
    for (int row = 0; row < rowCount; ++row) {
      std::optional<Directive> directive = ReadDirective(row);
      if (!directive) continue;
      isDirective[row] = true;
      directives.push_back(std::move(*directive));
    }
    job_.Out.SetMacroCall(nullptr);
    // Room for every data row at once: a table grown row by row would be moved, and new memory
    // touched, again at every doubling.
    size_t dataRows = 0;
    for (const Directive& directive : directives) {
      dataRows += directive.Bytes ? directive.Values.size() / 2 : directive.Values.size();
    }
    table_.Reserve(static_cast<int>(std::min<size_t>(rowCount + dataRows, INT_MAX)));
    for (const Directive& directive : directives) AppendDataRows(directive);
    table_.DeleteRowsIf([&](int row) { return row < rowCount && isDirective[row]; });
  }

 private:
  // A well-formed directive, reported and set aside; nothing for any other row, which stays.
  std::optional<Directive> ReadDirective(int row) {
    const std::string_view text = table_.Cell(row, ColText);
    const LabelsAndStatement split = SplitAtLastColon(text);
    // Without a label the statement is the whole text, untrimmed.
    const std::string_view statement = split.Labels.empty() ? text : TrimmedView(split.Statement);
    if (!IsDataDirective(statement)) return std::nullopt;
    job_.Out.SetMacroCall(job_.CallOf(table_.Rows()[row]));
    Directive directive{.File = std::string(table_.Cell(row, ColFile)),
                        .Line = std::string(table_.Cell(row, ColLine)),
                        .Origin = table_.Rows()[row].Origin(),
                        .Labels = JoinedLabels(split.Labels),
                        .Bytes = Contains(statement, ".byte"),
                        .Values = {}};
    OperandList values;
    parser_.SplitArgumentList(statement, values, DataSegmentList, directive.Line, directive.File);
    // A malformed list has been reported; its row stays and fails in command recognition.
    if (values.Status != StatusOk) return std::nullopt;
    if (directive.Labels.empty()) job_.ReportRow(row, kDataNotAccessible);
    directive.Values = std::move(values.Items);
    if (directive.Bytes && directive.Values.size() % 2 != 0) {
      directive.Values.emplace_back(kPadByte);
    }
    return directive;
  }

  // One row per data word; the directive's labels go in front of the first row's text only.
  void AppendDataRows(const Directive& directive) {
    const std::string_view keyword =
        directive.Bytes ? Parser::DataByteCommand : Parser::DataWordCommand;
    const std::string firstText = directive.Labels + std::string(keyword);
    const size_t perRow = directive.Bytes ? 2 : 1;
    for (size_t value = 0; value < directive.Values.size(); value += perRow) {
      const std::string_view text = value == 0 ? std::string_view(firstText) : keyword;
      const std::string_view second =
          directive.Bytes ? std::string_view(directive.Values[value + 1]) : std::string_view();
      table_.AddRow(directive.File, directive.Line, text, directive.Values[value], second, {}, {},
                    {});
      table_.MutableRow(table_.RowCount() - 1).SetOrigin(directive.Origin);
    }
  }

  TMq71R04CompilerObject& job_;
  TWorkTableObject& table_;
  const Parser parser_;
};

}  // namespace

int TMq71R04CompilerObject::AllocateData() {
  DataAllocation(*this).Run();
  return 0;  // faults are reported; the rows that stay fail in command recognition
}
