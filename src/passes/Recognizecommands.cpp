#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

// Command recognition: the labels of each row move into ColLabels, the bare statement stays in
// ColText, and the instruction set object recognises the statement (command, operands, opcode
// bits). Rows are neither added nor removed, so a row index stays the address of its word.

namespace {

// A row's text split at its last ":": the label part and the statement after it.
struct LabelsAndStatement {
  std::string_view Labels;
  std::string_view Statement;
};

// Everything up to the last ":" is the label part, trimmed and with its spaces removed (tabs stay):
// "start: loop: mov a, b" gives "start:loop:" and "mov a, b". Most rows hold no label, and then
// the statement is only the trimmed text and the labels are empty. The views are of `text`, or of
// `labelBuffer` when spaces had to be removed.
LabelsAndStatement SplitAtLastColon(std::string_view text, std::string& labelBuffer) {
  // A quick forward search first: the backward one goes character by character.
  if (text.find(':') == std::string_view::npos) return {{}, TrimmedView(text)};
  const size_t lastColon = text.rfind(':');
  const std::string_view labels = TrimmedView(text.substr(0, lastColon + 1));
  const std::string_view statement = TrimmedView(text.substr(lastColon + 1));
  if (labels.find(' ') == std::string_view::npos) return {labels, statement};
  labelBuffer.assign(labels);
  std::erase(labelBuffer, ' ');
  return {labelBuffer, statement};
}

}  // namespace

int TMq71R04CompilerObject::RecognizeCommands() {
  // One object serves every row. The statements it is given hold no labels any more.
  const TMq71R04_ASMParserObject parser(Out);
  std::string labelBuffer;
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    TWorkTableObject::Row& cells = WorkTable->MutableRow(row);
    const LabelsAndStatement split = SplitAtLastColon(cells[ColText], labelBuffer);
    const std::string_view file = cells[ColFile];
    const std::string_view line = cells[ColLine];
    RecognisedCells recognised{.Command = {},
                               .Operand1 = cells[ColOperand1],
                               .Operand2 = cells[ColOperand2],
                               .Code = cells[ColCode]};
    if (parser.RecogniseStatement(split.Statement, file, line, recognised) != 0) failed = true;
    // Every view is of this row, of the label buffer or of constant tables, and the row is
    // written once, here: the views read above are still valid.
    cells.Assign({file, line, split.Statement, recognised.Operand1, recognised.Operand2,
                  recognised.Command, split.Labels, recognised.Code});
  }
  return failed ? 1 : 0;
}
