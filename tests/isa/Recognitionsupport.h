#pragma once

#include <string>

#include "isa/Mq71r04_asmparserobject.h"

// Command recognition of a row whose text holds no labels, as the recognition pass does it: the
// text goes to ParseStatement, and the cells it decides are written into the row.
inline int RecogniseRow(const TMq71R04_ASMParserObject& parser, TWorkTableObject& table, int row) {
  const std::string text(table.Cell(row, ColText));
  const std::string file(table.Cell(row, ColFile));
  const std::string line(table.Cell(row, ColLine));
  const std::string operand1(table.Cell(row, ColOperand1));
  const std::string operand2(table.Cell(row, ColOperand2));
  const std::string code(table.Cell(row, ColCode));
  RecognisedCells cells{{}, operand1, operand2, code};
  const int result = parser.ParseStatement(text, file, line, cells);
  table.SetItem(row, ColCommand, cells.Command);
  table.SetItem(row, ColOperand1, cells.Operand1);
  table.SetItem(row, ColOperand2, cells.Operand2);
  table.SetItem(row, ColCode, cells.Code);
  return result;
}
