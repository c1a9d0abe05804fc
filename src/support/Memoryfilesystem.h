#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "support/Filesystem.h"

// Files held in memory, for tests of the stages that read and write files, and for a run whose
// dump files nobody should see. Names are plain keys: a relative name is the base directory, "/"
// and the name; nothing else is resolved.
class MemoryFileSystem : public FileSystem {
 public:
  // Stores a file under its name (relative to the base directory), replacing any earlier one.
  void Put(std::string_view name, std::string_view bytes);
  // A directory that EnterDirectory and IsDirectory accept.
  void AddDirectory(std::string_view name);
  // The bytes of a file, or none when there is no file of that name.
  std::optional<std::string> Get(std::string_view name) const;
  // Every file, by full name.
  const std::map<std::string, std::string>& Files() const { return files_; }

  std::string BaseDirectory() const override { return base_; }
  bool EnterDirectory(std::string_view name) override;
  bool ReadFile(std::string_view name, std::string& bytes, FileIdentity& identity) override;
  bool IsDirectory(std::string_view name) override;
  bool IsRegularFile(std::string_view name) override;
  std::optional<FileIdentity> Identify(std::string_view name) override;
  std::unique_ptr<OutputFile> Create(std::string_view name) override;

 private:
  std::string FullName(std::string_view name) const;

  std::string base_ = "/memory";
  std::map<std::string, std::string> files_;
  std::map<std::string, uint64_t> inodes_;  // one number per name ever stored
  std::set<std::string> directories_{"/memory"};
};
