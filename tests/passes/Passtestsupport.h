#pragma once

#include <string>
#include <vector>

#include "driver/Compilerobject.h"

// Helpers for testing a pass in memory: a job whose messages stay in its sink, rows given by their
// texts, and the messages split into lines.

// One row as the preprocessor leaves it: file, line and text, "$" in the other columns.
struct SourceRow {
  std::string File;
  std::string Line;
  std::string Text;
};

inline void AddSourceRows(TMq71R04CompilerObject& job, const std::vector<SourceRow>& rows) {
  for (const SourceRow& row : rows) {
    job.WorkTable->AddRow(row.File, row.Line, row.Text, "$", "$", "$", "$", "$");
  }
}

// Rows of "f.asm" numbered from 0.
inline void AddTexts(TMq71R04CompilerObject& job, const std::vector<std::string>& texts) {
  int line = 0;
  for (const std::string& text : texts) {
    job.WorkTable->AddRow("f.asm", std::to_string(line++), text, "$", "$", "$", "$", "$");
  }
}

inline std::vector<std::string> ColumnOf(const TWorkTableObject& table, int column) {
  std::vector<std::string> cells;
  for (int row = 0; row < table.RowCount(); ++row) cells.emplace_back(table.Cell(row, column));
  return cells;
}

// The captured text cut at CR LF; a last piece without CR LF is kept as well.
inline std::vector<std::string> MessageLines(const std::string& captured) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = captured.find("\r\n"); end != std::string::npos;
       end = captured.find("\r\n", start)) {
    lines.push_back(captured.substr(start, end - start));
    start = end + 2;
  }
  if (start < captured.size()) lines.push_back(captured.substr(start));
  return lines;
}
