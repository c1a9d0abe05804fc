#include "support/Runfiles.h"

#include <algorithm>

#include "support/Translatorerror.h"

RunFiles::RunFiles(std::unique_ptr<FileSystem> files) : files_(std::move(files)) {}

void RunFiles::SendDumpsTo(std::unique_ptr<FileSystem> dumps, std::string directory) {
  dumpFiles_ = std::move(dumps);
  dumpDirectory_ = std::move(directory);
}

bool RunFiles::ReadInput(std::string_view name, std::string& bytes) {
  FileIdentity identity;
  if (!files_->ReadFile(name, bytes, identity)) return false;
  RememberInput(name, identity);
  return true;
}

void RunFiles::RememberInput(std::string_view name, const FileIdentity& identity) {
  if (inputs_.insert({identity.Device, identity.Inode}).second) inputNames_.emplace_back(name);
}

bool RunFiles::IsInput(const FileIdentity& identity) const {
  return inputs_.count({identity.Device, identity.Inode}) > 0;
}

std::unique_ptr<OutputFile> RunFiles::CreateOutput(std::string_view name) {
  return CreateIn(*files_, name, name);
}

void RunFiles::RefuseInput(std::string_view name) {
  RefuseInputIn(*files_, name, name);
}

void RunFiles::RefuseInputIn(FileSystem& files, std::string_view path, std::string_view name) {
  if (&files != files_.get()) return;  // only the run's own file system holds its inputs
  const std::optional<FileIdentity> identity = files.Identify(path);
  if (identity && IsInput(*identity)) {
    throw TranslatorError("Cannot create file " + std::string(name) +
                          ": it is an input of this run");
  }
}

std::unique_ptr<OutputFile> RunFiles::CreateIn(FileSystem& files, std::string_view path,
                                               std::string_view name) {
  RefuseInputIn(files, path, name);
  return files.Create(path);
}

std::unique_ptr<OutputFile> RunFiles::CreateDump(std::string_view name) {
  FileSystem& files = dumpFiles_ ? *dumpFiles_ : *files_;
  if (dumpDirectory_.empty()) return CreateIn(files, name, name);
  std::string flat(name);
  std::replace(flat.begin(), flat.end(), '/', '_');
  return CreateIn(files, dumpDirectory_ + "/" + flat, name);
}

void RunFiles::WriteDump(std::string_view name, std::string_view text) {
  const std::unique_ptr<OutputFile> file = CreateDump(name);
  file->Write(text);
  file->Commit();
}
