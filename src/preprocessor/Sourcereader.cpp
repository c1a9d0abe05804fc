#include "preprocessor/Sourcereader.h"


#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "support/Textutils.h"
#include "support/Translatorerror.h"

SourceLineCursor::SourceLineCursor(std::string_view bytes)
    : start_(bytes.data()), end_(bytes.data() + bytes.size()) {
  nextCr_ = Find('\r');
  nextLf_ = Find('\n');
}

const char* SourceLineCursor::Find(char c) const {
  const void* found = std::memchr(start_, c, static_cast<size_t>(end_ - start_));
  return found == nullptr ? end_ : static_cast<const char*>(found);
}

bool SourceLineCursor::Next(std::string_view& line) {
  if (start_ == end_) return false;  // a line end at the very end starts no other line
  if (nextCr_ < start_) nextCr_ = Find('\r');
  if (nextLf_ < start_) nextLf_ = Find('\n');
  const char* lineEnd = std::min(nextCr_, nextLf_);
  line = std::string_view(start_, static_cast<size_t>(lineEnd - start_));
  if (lineEnd == end_) {
    start_ = end_;
  } else {
    const bool crLf = *lineEnd == '\r' && lineEnd + 1 < end_ && lineEnd[1] == '\n';
    start_ = lineEnd + (crLf ? 2 : 1);
  }
  return true;
}

namespace {

// Line ends are few among the bytes of a text: found with memchr, they are counted faster than
// by a test of every byte. A CR followed by an LF is not counted: the LF ends that line.
size_t CountByte(std::string_view bytes, char c, bool exceptBeforeLf) {
  size_t count = 0;
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  while (const void* found = std::memchr(at, c, static_cast<size_t>(end - at))) {
    at = static_cast<const char*>(found) + 1;
    if (!(exceptBeforeLf && at < end && *at == '\n')) ++count;
  }
  return count;
}

// The LFs of a text, which are most of its line ends. Counted in blocks of at most 255 bytes
// into a one-byte counter, a form the compiler turns into a loop over many bytes at once:
// faster than a search per line end.
size_t CountLineFeeds(std::string_view bytes) {
  size_t count = 0;
  const char* at = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const size_t block = std::min<size_t>(left, 255);
    uint8_t inBlock = 0;
    for (size_t i = 0; i < block; ++i) inBlock += at[i] == '\n' ? 1 : 0;
    count += inBlock;
    at += block;
    left -= block;
  }
  return count;
}

}  // namespace

size_t LineEndCount(std::string_view bytes) {
  return CountByte(bytes, '\r', true) + CountLineFeeds(bytes);
}

std::vector<std::string_view> SourceLineViews(std::string_view bytes) {
  std::vector<std::string_view> lines;
  // Every line but the last ends in a CR or an LF: room for that many, so the list never moves.
  lines.reserve(LineEndCount(bytes) + 1);
  SourceLineCursor cursor(bytes);
  std::string_view line;
  while (cursor.Next(line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> SplitSourceLines(std::string_view bytes) {
  const std::vector<std::string_view> views = SourceLineViews(bytes);
  return std::vector<std::string>(views.begin(), views.end());
}

std::string ReadSourceBytes(RunFiles& files, const std::string& fileName) {
  std::string bytes;
  if (!files.ReadInput(fileName, bytes)) throw TranslatorError("Cannot open file " + fileName);
  return bytes;
}

std::vector<std::string> ReadSourceLines(RunFiles& files, const std::string& fileName) {
  return SplitSourceLines(ReadSourceBytes(files, fileName));
}

std::string_view CommentRemoved(std::string_view line) {
  return TrimmedView(line.substr(0, line.find(';')));
}

std::string RemoveComment(std::string_view line) {
  return std::string(CommentRemoved(line));
}

// Every cell is filled in place, the line number without a temporary text: a row is added for
// almost every source line.
void AddSourceRow(TWorkTableObject& table, std::string_view fileName, int lineIndex,
                  std::string_view statement) {
  char digits[16];
  const char* digitsEnd = std::to_chars(digits, digits + sizeof digits, lineIndex).ptr;
  const std::string_view line(digits, static_cast<size_t>(digitsEnd - digits));
  AddSourceRow(table, fileName, line, statement);
}

void AddSourceRow(TWorkTableObject& table, std::string_view fileName, std::string_view lineNumber,
                  std::string_view statement) {
  table.AppendRow().AssignHeadAndFill(fileName, lineNumber, statement, '$');
}

void LineNumberText::Increment() {
  for (size_t at = sizeof digits_; at-- > start_;) {
    if (digits_[at] != '9') {
      ++digits_[at];
      return;
    }
    digits_[at] = '0';
  }
  // All nines: one digit more. A line number is an int, far shorter than the room.
  digits_[--start_] = '1';
}
