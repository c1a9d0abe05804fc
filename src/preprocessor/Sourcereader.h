#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/Runfiles.h"
#include "worktable/Worktableobject.h"

// Reading source files as lists of lines. Bytes are taken as they are (NUL included); a line
// ends at CR LF, at a lone LF or at a lone CR, and a line end at the very end of the file does
// not start another, empty line.

// The lines of a text held in memory, one after another, as views into it.
class SourceLineCursor {
 public:
  explicit SourceLineCursor(std::string_view bytes);
  // The next line; false after the last one.
  bool Next(std::string_view& line);

 private:
  const char* Find(char c) const;

  const char* start_;  // where the next line begins
  const char* end_;
  // The next CR and LF at or after start_ (end_ when there is none), each looked for again
  // only once passed: a file without CR is searched for it once.
  const char* nextCr_;
  const char* nextLf_;
};

// The number of line ends (CR LF, lone CR, lone LF): the line count, or one less when the text
// does not end in a line end.
size_t LineEndCount(std::string_view bytes);

// The lines of a text held in memory, as views into it.
std::vector<std::string_view> SourceLineViews(std::string_view bytes);

// The lines of a text held in memory.
std::vector<std::string> SplitSourceLines(std::string_view bytes);

// The whole content of the named regular file, read as an input of the run. A file that cannot
// be opened or read throws TranslatorError "Cannot open file <name>".
std::string ReadSourceBytes(RunFiles& files, const std::string& fileName);

// The lines of the named file; fails like ReadSourceBytes.
std::vector<std::string> ReadSourceLines(RunFiles& files, const std::string& fileName);

// A statement without its comment: cut at the first ';' (quotes do not protect it), trimmed.
std::string RemoveComment(std::string_view line);
// The same, as a view into `line`.
std::string_view CommentRemoved(std::string_view line);

// Appends the row of a source line: file name, 0-based line number, statement, and "$" in
// columns 3 to 7.
void AddSourceRow(TWorkTableObject& table, std::string_view fileName, int lineIndex,
                  std::string_view statement);
// The same with the line number as text.
void AddSourceRow(TWorkTableObject& table, std::string_view fileName, std::string_view lineNumber,
                  std::string_view statement);

// The decimal text of a line number that counts up from 0: a reader that numbers every line
// adds one to the text rather than converting each number anew.
class LineNumberText {
 public:
  std::string_view View() const { return {digits_ + start_, sizeof digits_ - start_}; }
  void Increment();

 private:
  char digits_[12] = {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  size_t start_ = sizeof digits_ - 1;  // the digits are the last ones of digits_
};
