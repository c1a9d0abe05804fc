#pragma once

#include <string>
#include <string_view>

// A file that appears whole or not at all: the bytes go to a new temporary file in the target's
// directory, which Commit puts in the target's place in one step. A failed write therefore never leaves a
// truncated file nor destroys an earlier one. Failures throw TranslatorError.
//
// Bytes are written straight to the file, unbuffered: callers hand over large blocks (the image,
// listing blocks of several pages), so a buffer would only copy them once more.
class TReplacementFile {
 public:
  explicit TReplacementFile(std::string target);
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~TReplacementFile();

  void Write(std::string_view bytes);
  void Commit();

 private:
  void Discard();
  [[noreturn]] void Fail(const std::string& what);

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
};
