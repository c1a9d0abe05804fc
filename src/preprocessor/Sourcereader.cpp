#include "preprocessor/Sourcereader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "worktable/Textutils.h"
#include "worktable/Translatorerror.h"

std::vector<std::string_view> SourceLineViews(std::string_view bytes) {
  std::vector<std::string_view> lines;
  // Every line but the last ends in a CR or an LF: room for that many, so the list never moves.
  lines.reserve(std::count(bytes.begin(), bytes.end(), '\n') +
                std::count(bytes.begin(), bytes.end(), '\r') + 1);
  size_t start = 0;
  size_t at = 0;
  while (at < bytes.size()) {
    const char c = bytes[at];
    if (c != '\r' && c != '\n') {
      ++at;
      continue;
    }
    lines.push_back(bytes.substr(start, at - start));
    at += (c == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') ? 2 : 1;
    start = at;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::vector<std::string> SplitSourceLines(std::string_view bytes) {
  const std::vector<std::string_view> views = SourceLineViews(bytes);
  return std::vector<std::string>(views.begin(), views.end());
}

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole content of a regular file; false when it cannot be opened or read. The bytes are
// read straight into the result, without a block in between.
bool ReadWholeFile(const std::string& fileName, std::string& bytes) {
  std::error_code error;
  if (std::filesystem::is_directory(fileName, error)) return false;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
  if (!file) return false;
  // The size is only a hint for the buffer: the file is read to its end whatever it says.
  const auto size = std::filesystem::file_size(fileName, error);
  size_t room = error ? 0 : static_cast<size_t>(size);
  size_t filled = 0;
  while (true) {
    // One byte more than the hint, so that the end of a file of the expected size is seen at
    // once; more room, twice as much, whenever the file turns out longer.
    room = std::max(room + 1, 2 * filled);
    bytes.resize(room);
    const size_t count = std::fread(bytes.data() + filled, 1, room - filled, file.get());
    filled += count;
    if (filled < room) break;
  }
  bytes.resize(filled);
  return std::ferror(file.get()) == 0;
}

}  // namespace

std::string ReadSourceBytes(const std::string& fileName) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) throw TranslatorError("Cannot open file " + fileName);
  return bytes;
}

std::vector<std::string> ReadSourceLines(const std::string& fileName) {
  return SplitSourceLines(ReadSourceBytes(fileName));
}

std::string_view CommentRemoved(std::string_view line) {
  return TrimmedView(line.substr(0, line.find(';')));
}

std::string RemoveComment(std::string_view line) {
  return std::string(CommentRemoved(line));
}

void AddSourceRow(TWorkTableObject& table, std::string_view fileName, int lineIndex,
                  std::string_view statement) {
  TWorkTableObject::Row& row = table.AppendRow();
  row[ColFile] = fileName;
  row[ColLine] = std::to_string(lineIndex);
  row[ColText] = statement;
  for (int column = ColOperand1; column <= ColCode; ++column) row[column].assign(1, '$');
}
