#include "support/Memoryfilesystem.h"

#include "support/Translatorerror.h"

namespace {

class MemoryOutputFile : public OutputFile {
 public:
  MemoryOutputFile(MemoryFileSystem& files, std::string name)
      : files_(files), name_(std::move(name)) {}

  void Write(std::string_view bytes) override { bytes_.append(bytes); }
  void Finish() override {}
  void Commit() override { files_.Put(name_, bytes_); }

 private:
  MemoryFileSystem& files_;
  std::string name_;
  std::string bytes_;
};

bool NamesAFile(std::string_view name) {
  return !name.empty() && name.find('\0') == std::string_view::npos && name.back() != '/';
}

}  // namespace

std::string MemoryFileSystem::FullName(std::string_view name) const {
  if (!name.empty() && name.front() == '/') return std::string(name);
  return base_ + "/" + std::string(name);
}

void MemoryFileSystem::Put(std::string_view name, std::string_view bytes) {
  const std::string full = FullName(name);
  files_[full] = std::string(bytes);
  inodes_.emplace(full, inodes_.size() + 1);
}

void MemoryFileSystem::AddDirectory(std::string_view name) {
  directories_.insert(FullName(name));
}

std::optional<std::string> MemoryFileSystem::Get(std::string_view name) const {
  const auto found = files_.find(FullName(name));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

bool MemoryFileSystem::EnterDirectory(std::string_view name) {
  if (!IsDirectory(name)) return false;
  base_ = FullName(name);
  return true;
}

bool MemoryFileSystem::ReadFile(std::string_view name, std::string& bytes, FileIdentity& identity) {
  if (!NamesAFile(name)) return false;
  const auto found = files_.find(FullName(name));
  if (found == files_.end()) return false;
  bytes = found->second;
  identity = *Identify(name);
  return true;
}

bool MemoryFileSystem::IsDirectory(std::string_view name) {
  return !name.empty() && directories_.count(FullName(name)) > 0;
}

bool MemoryFileSystem::IsRegularFile(std::string_view name) {
  return NamesAFile(name) && files_.count(FullName(name)) > 0;
}

std::optional<FileIdentity> MemoryFileSystem::Identify(std::string_view name) {
  if (!IsRegularFile(name)) return std::nullopt;
  return FileIdentity{0, inodes_.at(FullName(name))};
}

std::unique_ptr<OutputFile> MemoryFileSystem::Create(std::string_view name) {
  if (!NamesAFile(name) || IsDirectory(name)) {
    throw TranslatorError("Cannot create file " + std::string(name));
  }
  return std::make_unique<MemoryOutputFile>(*this, FullName(name));
}
