#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

// Command recognition: the labels of each row move into ColLabels, the bare statement stays in
// ColText, and the instruction set object recognises the statement (command, operands, opcode
// bits). Rows are neither added nor removed, so a row index stays the address of its word.

namespace {

// The label part, trimmed and with its spaces removed (tabs stay), and the trimmed statement:
// "start: loop: mov a, b" gives "start:loop:" and "mov a, b". The views are of `text`, or of
// `labelBuffer` when spaces had to be removed.
LabelsAndStatement SplitLabels(std::string_view text, std::string& labelBuffer) {
  const LabelsAndStatement split = SplitAtLastColon(text);
  const std::string_view labels = TrimmedView(split.Labels);
  const std::string_view statement = TrimmedView(split.Statement);
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
    const LabelsAndStatement split = SplitLabels(cells[ColText], labelBuffer);
    const std::string_view file = cells[ColFile];
    const std::string_view line = cells[ColLine];
    Out.SetMacroCall(CallOf(cells));
    RecognisedCells recognised{.Command = {},
                               .Operand1 = cells[ColOperand1],
                               .Operand2 = cells[ColOperand2],
                               .Code = cells[ColCode]};
    if (parser.ParseStatement(split.Statement, file, line, recognised) != 0) failed = true;
    // Every view is of this row, of the label buffer or of constant tables, and the row is
    // written once, here: the views read above are still valid.
    cells.Assign({file, line, split.Statement, recognised.Operand1, recognised.Operand2,
                  recognised.Command, split.Labels, recognised.Code});
  }
  Out.SetMacroCall(nullptr);
  return failed ? 1 : 0;
}
