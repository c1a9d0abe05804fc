#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
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
  // Dump files go to `dumps` from now on (null: the run's own file system). With a `directory`
  // every dump lands in it, directly: its name with each "/" turned into "_", so that the name of
  // an include such as "../x.inc" cannot lead it out. Without one, a dump's name is its path.
  void SendDumpsTo(std::unique_ptr<FileSystem> dumps, std::string directory);

  // Reads a source or include file and remembers it as an input of the run; false when it
  // names no regular file or cannot be read.
  bool ReadInput(std::string_view name, std::string& bytes);
  // Remembers a file read through Files() as an input of the run.
  void RememberInput(std::string_view name, const FileIdentity& identity);
  // The names of the inputs read so far, each once, in the order first read.
  const std::vector<std::string>& InputNames() const { return inputNames_; }

  // Throws TranslatorError "Cannot create file <name>: it is an input of this run" when the
  // name leads to an input of the run.
  void RefuseInput(std::string_view name);
  // Starts an output file of the run. Throws TranslatorError
  // "Cannot create file <name>: it is an input of this run" when the name leads to an input,
  // otherwise fails as FileSystem::Create.
  std::unique_ptr<OutputFile> CreateOutput(std::string_view name);
  // Starts a dump file, which goes where SendDumpsTo said; fails as CreateOutput, with `name` in
  // the message.
  std::unique_ptr<OutputFile> CreateDump(std::string_view name);
  // Writes a dump file whole, replacing an earlier one.
  void WriteDump(std::string_view name, std::string_view text);

 private:
  bool IsInput(const FileIdentity& identity) const;
  void RefuseInputIn(FileSystem& files, std::string_view path, std::string_view name);
  // Creates `path` in `files`, refusing an input of the run; messages call it `name`.
  std::unique_ptr<OutputFile> CreateIn(FileSystem& files, std::string_view path,
                                       std::string_view name);

  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<FileSystem> dumpFiles_;  // null: files_
  std::string dumpDirectory_;
  std::vector<std::string> inputNames_;
  std::set<std::pair<uint64_t, uint64_t>> inputs_;  // device and inode of each input
};
