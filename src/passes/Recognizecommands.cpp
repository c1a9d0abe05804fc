#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "worktable/Textutils.h"

// Command recognition: the labels of each row move into ColLabels, the bare statement stays in
// ColText, and the instruction set object recognises the statement (command, operands, opcode
// bits). Rows are neither added nor removed, so a row index stays the address of its word.

namespace {

struct SplitStatement {
  std::string Labels;
  std::string Statement;
};

// Everything up to the last ":" is the label part, trimmed and with its spaces removed (tabs stay):
// "start: loop: mov a, b" gives "start:loop:" and "mov a, b".
SplitStatement SplitAtLastColon(std::string_view text) {
  const size_t lastColon = text.rfind(':');
  if (lastColon == std::string_view::npos) return {{}, Trim(text)};
  std::string labels = Trim(text.substr(0, lastColon + 1));
  std::erase(labels, ' ');
  return {std::move(labels), Trim(text.substr(lastColon + 1))};
}

}  // namespace

int TMq71R04CompilerObject::RecognizeCommands() {
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    SplitStatement split = SplitAtLastColon(WorkTable->Cell(row, ColText));
    WorkTable->SetItem(row, ColText, std::move(split.Statement));
    WorkTable->SetItem(row, ColLabels, std::move(split.Labels));
    // A fresh object per row: recognition needs an empty operand list on entry.
    TMq71R04_ASMParserObject parser(Out);
    if (parser.ParseStatement(row, *WorkTable) != 0) failed = true;
  }
  return failed ? 1 : 0;
}
