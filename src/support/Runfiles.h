#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/Filesystem.h"

// The files of one run. Sources and includes are read through here, which remembers each one,
// and every file the run writes (image, listing, dump files) is created through here, which
// refuses to replace a file the run read: a source file must never be able to overwrite itself
// or another input.
class RunFiles {
 public:
  // The run's file system; dump files go to the same one, into its base directory.
  explicit RunFiles(std::unique_ptr<FileSystem> files);
  RunFiles(const RunFiles&) = delete;
  RunFiles& operator=(const RunFiles&) = delete;

  FileSystem& Files() { return *files_; }
  // Dump files go to `dumps` from now on, named `directory` + "/" + name there (`directory`
  // empty: the dump's name alone). Null `dumps`: the run's own file system.
  void SendDumpsTo(std::unique_ptr<FileSystem> dumps, std::string directory);

  // Reads a source or include file and remembers it as an input of the run; false when it
  // names no regular file or cannot be read.
  bool ReadInput(std::string_view name, std::string& bytes);
  // The names of the inputs read so far, each once, in the order first read.
  const std::vector<std::string>& InputNames() const { return inputNames_; }

  // Starts an output file of the run. Throws TranslatorError
  // "Cannot create file <name>: it is an input of this run" when the name leads to an input,
  // otherwise fails as FileSystem::Create.
  std::unique_ptr<OutputFile> CreateOutput(std::string_view name);
  // Writes a dump file whole, replacing an earlier one; fails as CreateOutput and
  // OutputFile::Commit, with `name` in the message.
  void WriteDump(std::string_view name, std::string_view text);

 private:
  bool IsInput(const FileIdentity& identity) const;

  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<FileSystem> dumpFiles_;  // null: files_
  std::string dumpDirectory_;
  std::vector<std::string> inputNames_;
  std::vector<FileIdentity> inputs_;
};
