#include "passes/Replacementfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>

#include "support/Translatorerror.h"

namespace {

constexpr int kNameAttempts = 16;

// ".tmp" and eight hexadecimal digits: one draw of 32 random bits names the file.
std::string RandomSuffix(std::random_device& device) {
  static constexpr char kDigits[] = "0123456789abcdef";
  uint32_t bits = device();
  std::string suffix = ".tmp";
  for (int i = 0; i < 8; ++i, bits >>= 4) suffix += kDigits[bits & 0xf];
  return suffix;
}

// Puts the finished file in the place of an existing regular file (or symbolic link) by swapping
// the two names: the target shows the old bytes or the new ones, never a mix, just as with a
// rename over it. A rename that replaces a file would make ext4 write the new file's data out at
// once (its guard for programs that never sync), which takes longer than assembling a small
// program. Returns false when there is nothing to swap with or the file system cannot swap.
bool SwapWithExistingFile(const std::string& temporary, const std::string& target) {
  struct stat status;
  if (::lstat(target.c_str(), &status) != 0) return false;
  // A directory must not change places with a file: the plain rename reports it.
  if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode)) return false;
  return ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0;
}

}  // namespace

TReplacementFile::TReplacementFile(std::string target) : target_(std::move(target)) {
  std::random_device device;
  for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
    temporary_ = target_ + RandomSuffix(device);
    // O_EXCL: never reuse a file that exists, ours or anybody's.
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    throw TranslatorError("Cannot create file " + target_);
  }
}

TReplacementFile::~TReplacementFile() {
  Discard();
}

void TReplacementFile::Write(std::string_view bytes) {
  if (fd_ < 0) Fail("Cannot write file ");
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t count = ::write(fd_, data, left);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Fail("Cannot write file ");
    data += count;
    left -= static_cast<size_t>(count);
  }
}

void TReplacementFile::Commit() {
  if (fd_ < 0) Fail("Cannot write file ");
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!closed) Fail("Cannot write file ");
  if (SwapWithExistingFile(temporary_, target_)) {
    // The temporary name now holds the earlier file; Discard removes it.
    Discard();
    return;
  }
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) Fail("Cannot create file ");
  temporary_.clear();
}

void TReplacementFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
}

void TReplacementFile::Fail(const std::string& what) {
  Discard();
  throw TranslatorError(what + target_);
}
