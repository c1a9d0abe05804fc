#pragma once

#include <filesystem>
#include <string>

// A fresh directory under the system's temporary folder, removed with the object. Its path
// holds no "-", so it can be given as an option value.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Makes a directory current for the lifetime of the object.
class CurrentDirectoryScope {
 public:
  explicit CurrentDirectoryScope(const std::filesystem::path& directory);
  ~CurrentDirectoryScope();
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

 private:
  std::filesystem::path previous_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

// While it lives, the allocation by operator new that comes `count` allocations from now
// (0: the next one) throws std::bad_alloc; the others succeed. For tests of what an operation
// leaves behind when memory runs out at any point.
class AllocationFailure {
 public:
  explicit AllocationFailure(long count);
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;
};
