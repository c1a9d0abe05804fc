#include "preprocessor/Sourcereader.h"

#include <array>

#include "preprocessor/Calldumps.h"
#include "preprocessor/Preprocessormessages.h"
#include "support/Textutils.h"
#include "support/Translatorerror.h"

std::vector<std::string> SourceLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ForEachSourceLine(bytes, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string ReadSourceFile(CallDumps& dumps, std::string_view name) {
  std::string bytes;
  if (!dumps.ReadInput(name, bytes)) {
    throw TranslatorError(FormatMessage(PreprocessorMessages::CannotOpenFile, {name}));
  }
  return bytes;
}

std::string_view CommentRemoved(std::string_view line) {
  return TrimmedView(line.substr(0, line.find(';')));
}

void LineNumberText::Increment() {
  size_t at = digits_.size();
  while (digits_[at - 1] == '9') digits_[--at] = '0';  // the first digit is never reached
  ++digits_[at - 1];
  start_ = std::min(start_, at - 1);
}

// A row is added for nearly every line read: its line is put together in one piece rather than
// cell by cell, on the stack when it is short.
void AddSourceRow(TWorkTableObject& table, std::string_view fileName, std::string_view lineNumber,
                  std::string_view statement) {
  constexpr std::string_view kPlaceholders = " $ $ $ $ $";  // "$" in the cells behind the text
  std::array<uint32_t, WorkTableRow::CellCount> ends;
  ends[ColFile] = static_cast<uint32_t>(fileName.size());
  ends[ColLine] = ends[ColFile] + 1 + static_cast<uint32_t>(lineNumber.size());
  ends[ColText] = ends[ColLine] + 1 + static_cast<uint32_t>(statement.size());
  for (int column = ColOperand1; column <= ColCode; ++column) ends[column] = ends[column - 1] + 2;
  const size_t size = ends[ColCode];
  char shortLine[128];
  std::string longLine;
  char* line = shortLine;
  if (size > sizeof shortLine) {
    longLine.resize(size);
    line = longLine.data();
  }
  // The file name is a few characters: copied without a library call.
  MoveShortText(line, fileName.data(), fileName.size());
  line[ends[ColFile]] = ' ';
  lineNumber.copy(line + ends[ColFile] + 1, lineNumber.size());
  line[ends[ColLine]] = ' ';
  statement.copy(line + ends[ColLine] + 1, statement.size());
  kPlaceholders.copy(line + ends[ColText], kPlaceholders.size());
  table.AddRow(std::string_view(line, size), ends);
}
