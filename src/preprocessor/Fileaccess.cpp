#include "preprocessor/Fileaccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/Translatorerror.h"

namespace {

// Closes the file however the function using it ends.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

bool HoldsNul(std::string_view name) {
  return name.find('\0') != std::string_view::npos;
}

}  // namespace

bool ReadInputFile(TMq71R04CompilerObject&, std::string_view name, std::string& bytes,
                   FileIdentity& identity) {
  if (HoldsNul(name)) return false;
  const FileDescriptor file{::open(std::string(name).c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat status {};
  if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || S_ISDIR(status.st_mode)) return false;
  identity = FileIdentity{status.st_dev, status.st_ino};
  bytes.clear();
  if (S_ISREG(status.st_mode)) bytes.reserve(static_cast<size_t>(status.st_size));
  char block[65536];
  while (true) {
    const ssize_t count = ::read(file.fd, block, sizeof block);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) return true;
    bytes.append(block, static_cast<size_t>(count));
  }
}

// An existing file is overwritten in place and cut to the new length afterwards, rather than
// truncated when opened: on ext4, a file truncated and written anew is flushed to disk at close,
// which for a small program costs several times the whole run. The contents are the same.
void WriteDumpFile(TMq71R04CompilerObject&, std::string_view name, std::string_view text) {
  const std::string path(name);
  const FileDescriptor file{
      HoldsNul(name) ? -1 : ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666)};
  if (file.fd < 0) throw TranslatorError("Cannot create file " + path);
  const off_t length = static_cast<off_t>(text.size());
  while (!text.empty()) {
    const ssize_t count = ::write(file.fd, text.data(), text.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      // What was written stays, as in a file truncated when opened.
      if (::ftruncate(file.fd, length - static_cast<off_t>(text.size())) != 0) {
      }
      throw TranslatorError("Cannot write file " + path);
    }
    text.remove_prefix(static_cast<size_t>(count));
  }
  struct stat status {};
  if (::fstat(file.fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > length &&
      ::ftruncate(file.fd, length) != 0) {
    throw TranslatorError("Cannot write file " + path);
  }
}

std::optional<FileIdentity> IdentifyFile(TMq71R04CompilerObject&, std::string_view name) {
  struct stat status {};
  if (HoldsNul(name) || ::stat(std::string(name).c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino};
}
