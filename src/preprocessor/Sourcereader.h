#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "worktable/Worktableobject.h"

class CallDumps;

// Reading source files as lists of lines. Bytes are taken as they are (NUL included); a line
// ends at CR LF, at a lone LF or at a lone CR, and a line end at the very end of the file does
// not start another, empty line.

// Calls `visit(line)` with each line of a text in turn, a view into it.
// The next CR and the next LF are each looked for again only once passed: a text without CR
// is searched for one once.
template <typename Visit>
void ForEachSourceLine(std::string_view bytes, Visit visit) {
  size_t start = 0;
  size_t nextCr = bytes.find('\r');
  size_t nextLf = bytes.find('\n');
  while (start < bytes.size()) {
    if (nextCr < start) nextCr = bytes.find('\r', start);
    if (nextLf < start) nextLf = bytes.find('\n', start);
    const size_t end = std::min({nextCr, nextLf, bytes.size()});
    visit(bytes.substr(start, end - start));
    const bool crLf = end == nextCr && end + 1 == nextLf;
    start = end + (crLf ? 2 : 1);
  }
}

// The lines of a text.
std::vector<std::string> SourceLines(std::string_view bytes);

// The whole content of a source or include file, read through `dumps` (a dump file the run has
// written may be read back). A file that cannot be read throws TranslatorError
// "Cannot open file <name>".
std::string ReadSourceFile(CallDumps& dumps, std::string_view name);

// A statement without its comment: cut at the first ';' (quotes do not protect it), trimmed.
std::string_view CommentRemoved(std::string_view line);

// The 0-based number of the line being read, as decimal text. Lines are read one after the
// other and each gets a row: counting in text costs less than formatting each number anew.
class LineNumberText {
 public:
  std::string_view View() const { return {digits_.data() + start_, digits_.size() - start_}; }
  void Increment();

 private:
  std::array<char, 12> digits_ = {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  size_t start_ = digits_.size() - 1;  // the number is the last digits
};

// Appends the row of a source line: file name, line number, statement, and "$" in columns 3
// to 7.
void AddSourceRow(TWorkTableObject& table, std::string_view fileName, std::string_view lineNumber,
                  std::string_view statement);
