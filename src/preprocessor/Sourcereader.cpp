#include "preprocessor/Sourcereader.h"

#include <charconv>

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

void AddSourceRow(TWorkTableObject& table, std::string_view fileName, int lineIndex,
                  std::string_view statement) {
  char digits[16];
  const char* digitsEnd = std::to_chars(digits, digits + sizeof digits, lineIndex).ptr;
  const std::string_view lineNumber(digits, static_cast<size_t>(digitsEnd - digits));
  table.AddRow(fileName, lineNumber, statement, "$", "$", "$", "$", "$");
}
