#include "support/Diskfilesystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <utility>

#include "support/Translatorerror.h"

namespace {

// A name as the system calls take it; empty when the name holds a NUL byte and so names no file.
std::string PathOf(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) return {};
  return std::string(name);
}

FileIdentity IdentityOf(const struct stat& status) {
  return {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
}

std::string AbsolutePath(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

// Closes a descriptor when the scope ends, however it ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The whole content of an open file. The size is only a hint for the buffer: the file is read
// to its end whatever it says.
bool ReadToEnd(int fd, size_t sizeHint, std::string& bytes) {
  size_t room = sizeHint + 1;  // the end of a file of the expected size is seen at once
  std::string content(room, '\0');
  size_t filled = 0;
  while (true) {
    if (filled == room) {
      room *= 2;
      content.resize(room);
    }
    const ssize_t count = ::read(fd, content.data() + filled, room - filled);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) break;
    filled += static_cast<size_t>(count);
  }
  content.resize(filled);
  bytes = std::move(content);
  return true;
}

// ".tmp" and eight hexadecimal digits: one draw of 32 random bits names a temporary file.
std::string TemporaryName(std::string_view base) {
  static constexpr char kDigits[] = "0123456789abcdef";
  static std::random_device device;
  uint32_t bits = device();
  std::string name = std::string(base) + ".tmp";
  for (int i = 0; i < 8; ++i, bits >>= 4) name += kDigits[bits & 0xf];
  return name;
}

// Unnamed files are linked into place through /proc; without it they cannot be named at all.
bool CanLinkUnnamedFiles() {
  static const bool available = ::access("/proc/self/fd", X_OK) == 0;
  return available;
}

class DiskOutputFile : public OutputFile {
 public:
  // `directory` is open on the directory that will hold the file, `base` its name there.
  DiskOutputFile(std::string name, int directory, std::string base)
      : name_(std::move(name)), directory_(directory), base_(std::move(base)) {
    if (CanLinkUnnamedFiles()) {
      fd_ = ::openat(directory_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    }
    if (fd_ < 0) OpenNamedTemporary();
  }
  ~DiskOutputFile() override { Discard(); }

  void Write(std::string_view bytes) override {
    if (fd_ < 0) Fail("Cannot write file ");
    while (!bytes.empty()) {
      const ssize_t count = ::write(fd_, bytes.data(), bytes.size());
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) Fail("Cannot write file ");
      bytes.remove_prefix(static_cast<size_t>(count));
    }
  }

  void Finish() override {
    if (fd_ < 0) Fail("Cannot write file ");
  }

  void Commit() override {
    Finish();
    const bool replacing = KeepPermissionsOfReplacedFile();
    if (temporary_.empty()) {
      // A file that stands under the name is replaced from a name beside it; where none stood,
      // the file is linked under the name directly, unless one appeared meanwhile.
      if (!replacing && LinkUnnamed(base_)) return Close();
      if ((!replacing && errno != EEXIST) || !LinkUnnamedBeside()) Fail("Cannot create file ");
    }
    if (!ReplaceTarget()) Fail("Cannot create file ");
    Close();
  }

 private:
  void OpenNamedTemporary() {
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
      temporary_ = TemporaryName(base_);
      // O_EXCL: never reuse a file that exists, ours or anybody's.
      fd_ = ::openat(directory_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
      temporary_.clear();
      Fail("Cannot create file ");
    }
  }

  // Links the unnamed file under `base` in its directory; false (errno set) when it cannot.
  bool LinkUnnamed(const std::string& base) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    return ::linkat(AT_FDCWD, self.c_str(), directory_, base.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }

  bool LinkUnnamedBeside() {
    for (int attempt = 0; attempt < 16; ++attempt) {
      temporary_ = TemporaryName(base_);
      if (LinkUnnamed(temporary_)) return true;
      if (errno != EEXIST) break;
    }
    temporary_.clear();
    return false;
  }

  // True when a file stands under the name (a link counts when it leads to one).
  bool KeepPermissionsOfReplacedFile() {
    struct stat status {};
    if (::fstatat(directory_, base_.c_str(), &status, 0) != 0) return false;
    if (S_ISREG(status.st_mode)) ::fchmod(fd_, status.st_mode & 07777);
    return true;
  }

  // Puts the named temporary file in the target's place. An existing regular file or symbolic
  // link trades places with it, and the earlier file, now under the temporary name, goes: on
  // ext4 a rename over an existing file makes the kernel write the new data out at once, which
  // costs more than assembling a small program, while the swap does not.
  bool ReplaceTarget() {
    struct stat status {};
    const bool swappable =
        ::fstatat(directory_, base_.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        (S_ISREG(status.st_mode) || S_ISLNK(status.st_mode));
    if (swappable && ::renameat2(directory_, temporary_.c_str(), directory_, base_.c_str(),
                                 RENAME_EXCHANGE) == 0) {
      ::unlinkat(directory_, temporary_.c_str(), 0);
      temporary_.clear();
      return true;
    }
    if (::renameat(directory_, temporary_.c_str(), directory_, base_.c_str()) != 0) return false;
    temporary_.clear();
    return true;
  }

  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void Discard() {
    Close();
    if (!temporary_.empty()) ::unlinkat(directory_, temporary_.c_str(), 0);
    temporary_.clear();
    if (directory_ >= 0) ::close(directory_);
    directory_ = -1;
  }

  [[noreturn]] void Fail(const char* what) {
    Discard();
    throw TranslatorError(what + name_);
  }

  std::string name_;
  int directory_;
  std::string base_;
  int fd_ = -1;
  std::string temporary_;  // the named temporary file, if any
};

// Only a regular file or a symbolic link is replaced by a new file: never a directory, a device
// or a FIFO that happens to stand under the name.
bool MayBeReplaced(int baseFd, const std::string& path) {
  struct stat status {};
  if (::fstatat(baseFd, path.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return true;
  return S_ISREG(status.st_mode) || S_ISLNK(status.st_mode);
}

}  // namespace

DiskFileSystem::DiskFileSystem() : baseFd_(AT_FDCWD) {}

std::string DiskFileSystem::BaseDirectory() const {
  if (baseFd_ != AT_FDCWD) return basePath_;
  char path[PATH_MAX];
  return ::getcwd(path, sizeof path) != nullptr ? std::string(path) : std::string();
}

DiskFileSystem::~DiskFileSystem() {
  if (baseFd_ != AT_FDCWD) ::close(baseFd_);
}

bool DiskFileSystem::EnterDirectory(std::string_view name) {
  const std::string path = PathOf(name);
  if (path.empty() || ::faccessat(baseFd_, path.c_str(), X_OK, 0) != 0) return false;
  const int fd = ::openat(baseFd_, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  basePath_ = AbsolutePath(path.front() == '/' ? path : BaseDirectory() + "/" + path);
  if (baseFd_ != AT_FDCWD) ::close(baseFd_);
  baseFd_ = fd;
  return true;
}

bool DiskFileSystem::ReadFile(std::string_view name, std::string& bytes, FileIdentity& identity) {
  const std::string path = PathOf(name);
  if (path.empty()) return false;
  // Without blocking: opening a FIFO for reading would wait for a writer.
  const Descriptor file(::openat(baseFd_, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) return false;
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  if (!ReadToEnd(file.Get(), static_cast<size_t>(status.st_size), bytes)) return false;
  identity = IdentityOf(status);
  return true;
}

bool DiskFileSystem::IsDirectory(std::string_view name) {
  const std::string path = PathOf(name);
  struct stat status {};
  return !path.empty() && ::fstatat(baseFd_, path.c_str(), &status, 0) == 0 &&
         S_ISDIR(status.st_mode);
}

bool DiskFileSystem::IsRegularFile(std::string_view name) {
  const std::string path = PathOf(name);
  struct stat status {};
  return !path.empty() && ::fstatat(baseFd_, path.c_str(), &status, 0) == 0 &&
         S_ISREG(status.st_mode);
}

std::optional<FileIdentity> DiskFileSystem::Identify(std::string_view name) {
  const std::string path = PathOf(name);
  struct stat status {};
  if (path.empty() || ::fstatat(baseFd_, path.c_str(), &status, 0) != 0) return std::nullopt;
  return IdentityOf(status);
}

std::unique_ptr<OutputFile> DiskFileSystem::Create(std::string_view name) {
  const std::string path = PathOf(name);
  const size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string directory = slash == std::string::npos ? "."
                                : slash == 0               ? "/"
                                                           : path.substr(0, slash);
  const std::string message = "Cannot create file " + std::string(name);
  if (base.empty() || !MayBeReplaced(baseFd_, path)) throw TranslatorError(message);
  Descriptor directoryFd(::openat(baseFd_, directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (directoryFd.Get() < 0) throw TranslatorError(message);
  return std::make_unique<DiskOutputFile>(std::string(name), directoryFd.Release(), base);
}
