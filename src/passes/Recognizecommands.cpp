#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "worktable/Textutils.h"

// Command recognition: the labels of each row move into ColLabels, the bare statement stays in
// ColText, and the instruction set object recognises the statement (command, operands, opcode
// bits). Rows are neither added nor removed, so a row index stays the address of its word.

namespace {

// Everything up to the last ":" is the label part, trimmed and with its spaces removed (tabs stay):
// "start: loop: mov a, b" gives "start:loop:" and "mov a, b". Most rows hold no label, and then
// the text is only trimmed and ColLabels emptied.
void SplitAtLastColon(TWorkTableObject::Row& row) {
  const std::string_view text = row[ColText];
  // A quick forward search first: the backward one goes character by character.
  if (text.find(':') == std::string_view::npos) {
    row.Set(ColText, TrimmedView(text));
    row.Set(ColLabels, {});
    return;
  }
  const size_t lastColon = text.rfind(':');
  std::string labels(TrimmedView(text.substr(0, lastColon + 1)));
  std::erase(labels, ' ');
  row.Set(ColText, TrimmedView(text.substr(lastColon + 1)));
  row.Set(ColLabels, labels);
}

}  // namespace

int TMq71R04CompilerObject::RecognizeCommands() {
  // One object serves every row; its operand list is emptied before each, as recognition needs.
  TMq71R04_ASMParserObject parser(Out);
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    SplitAtLastColon(WorkTable->MutableRow(row));
    parser.Operands.Clear();
    if (parser.ParseStatement(row, *WorkTable) != 0) failed = true;
  }
  return failed ? 1 : 0;
}
