#include "passes/Replacementfile.h"

#include <cerrno>
#include <random>

#include "worktable/Translatorerror.h"

namespace {

constexpr int kNameAttempts = 16;

std::string RandomSuffix(std::mt19937& generator) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string suffix = ".tmp";
  for (int i = 0; i < 8; ++i) suffix += kDigits[generator() % 16];
  return suffix;
}

}  // namespace

TReplacementFile::TReplacementFile(std::string target) : target_(std::move(target)) {
  std::mt19937 generator(std::random_device{}());
  for (int attempt = 0; attempt < kNameAttempts && file_ == nullptr; ++attempt) {
    temporary_ = target_ + RandomSuffix(generator);
    // "x": never reuse a file that exists, ours or anybody's.
    file_ = std::fopen(temporary_.c_str(), "wbx");
    if (file_ == nullptr && errno != EEXIST) break;
  }
  if (file_ == nullptr) {
    temporary_.clear();
    throw TranslatorError("Cannot create file " + target_);
  }
}

TReplacementFile::~TReplacementFile() {
  Discard();
}

void TReplacementFile::Write(std::string_view bytes) {
  if (file_ == nullptr) Fail("Cannot write file ");
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("Cannot write file ");
}

void TReplacementFile::Commit() {
  if (file_ == nullptr) Fail("Cannot write file ");
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!closed) Fail("Cannot write file ");
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) Fail("Cannot create file ");
  temporary_.clear();
}

void TReplacementFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
}

void TReplacementFile::Fail(const std::string& what) {
  Discard();
  throw TranslatorError(what + target_);
}
