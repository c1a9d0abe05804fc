#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "support/Filesystem.h"

// The real file system. Relative names are taken from the base directory, held open, so that
// entering the project's root directory never changes the process's current directory.
//
// A new file is written as an unnamed file in its directory (O_TMPFILE) and linked into place at
// Commit, so that a run killed while it writes leaves nothing behind; where the file system
// cannot make unnamed files, a named temporary file beside the target takes its part.
class DiskFileSystem : public FileSystem {
 public:
  // The base directory is the process's current directory.
  DiskFileSystem();
  ~DiskFileSystem() override;
  DiskFileSystem(const DiskFileSystem&) = delete;
  DiskFileSystem& operator=(const DiskFileSystem&) = delete;

  std::string BaseDirectory() const override;
  bool EnterDirectory(std::string_view name) override;
  bool ReadFile(std::string_view name, std::string& bytes, FileIdentity& identity) override;
  bool IsDirectory(std::string_view name) override;
  bool IsRegularFile(std::string_view name) override;
  std::optional<FileIdentity> Identify(std::string_view name) override;
  std::unique_ptr<OutputFile> Create(std::string_view name) override;

 private:
  int baseFd_;            // AT_FDCWD until a directory is entered
  std::string basePath_;  // set once a directory is entered
};
