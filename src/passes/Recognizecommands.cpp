#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "worktable/Textutils.h"

// Command recognition: the labels of each row move into ColLabels, the bare statement stays in
// ColText, and the instruction set object recognises the statement (command, operands, opcode
// bits). Rows are neither added nor removed, so a row index stays the address of its word.

namespace {

// Keeps only the part of `text` from `begin` on with `length` characters, in place.
void KeepPart(std::string& text, size_t begin, size_t length) {
  text.erase(begin + length);
  text.erase(0, begin);
}

// Everything up to the last ":" is the label part, trimmed and with its spaces removed (tabs stay):
// "start: loop: mov a, b" gives "start:loop:" and "mov a, b". Both cells are edited in place: most
// rows hold no label and nothing to trim, and then only ColLabels is emptied.
void SplitAtLastColon(TWorkTableObject& table, int row) {
  std::string& text = table.MutableCell(row, ColText);
  std::string& labels = table.MutableCell(row, ColLabels);
  // A quick forward search first: the backward one goes character by character.
  if (text.find(':') == std::string::npos) {
    labels.clear();
    TrimInPlace(text);
    return;
  }
  const size_t lastColon = text.rfind(':');
  labels.assign(TrimmedView(std::string_view(text).substr(0, lastColon + 1)));
  std::erase(labels, ' ');
  const std::string_view statement = TrimmedView(std::string_view(text).substr(lastColon + 1));
  KeepPart(text, static_cast<size_t>(statement.data() - text.data()), statement.size());
}

}  // namespace

int TMq71R04CompilerObject::RecognizeCommands() {
  // One object serves every row; its operand list is emptied before each, as recognition needs.
  TMq71R04_ASMParserObject parser(Out);
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    SplitAtLastColon(*WorkTable, row);
    parser.Operands.Clear();
    if (parser.ParseStatement(row, *WorkTable) != 0) failed = true;
  }
  return failed ? 1 : 0;
}
