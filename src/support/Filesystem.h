#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Every byte the translator reads from or writes to a file goes through this interface: the disk
// for a run, memory for tests. Names are paths as the user gave them; relative ones are taken
// from the file system's base directory. A name holding a NUL byte names no file.

// What makes two names the same file: the device and the inode, so that "./main.asm", a hard
// link and a symbolic link to it all count as main.asm.
struct FileIdentity {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A file on its way to its name: the bytes go aside, and the file appears under its name whole,
// at Commit, or not at all. Finish ends the writing, so that several files can be finished first
// and then committed together. Destroyed uncommitted, it leaves nothing behind.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Throws TranslatorError "Cannot write file <name>".
  virtual void Write(std::string_view bytes) = 0;
  // All bytes are written; throws TranslatorError "Cannot write file <name>".
  virtual void Finish() = 0;
  // Puts the finished file in the place of its name, replacing a file or a symbolic link (not
  // the file the link points to); a replaced file's permission bits stay. Finishes first when
  // Finish was not called. Throws TranslatorError "Cannot create file <name>".
  virtual void Commit() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The directory that relative names are taken from, as an absolute path without links.
  virtual std::string BaseDirectory() const = 0;
  // Makes the directory `name` the base directory; false when it is none or cannot be entered.
  virtual bool EnterDirectory(std::string_view name) = 0;

  // The whole content of the regular file `name` and its identity; false when the name names no
  // regular file or it cannot be read. A FIFO or a device is never read, so no name can make a
  // read wait or run without end.
  virtual bool ReadFile(std::string_view name, std::string& bytes, FileIdentity& identity) = 0;
  virtual bool IsDirectory(std::string_view name) = 0;
  virtual bool IsRegularFile(std::string_view name) = 0;
  // The identity of the file the name leads to (through symbolic links); none when there is none.
  virtual std::optional<FileIdentity> Identify(std::string_view name) = 0;
  // Starts a file that will take the place of `name`. Throws TranslatorError
  // "Cannot create file <name>".
  virtual std::unique_ptr<OutputFile> Create(std::string_view name) = 0;
};
