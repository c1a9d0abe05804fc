#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "support/Runfiles.h"

// The edges of a subcommand: its files, standard output, and the one line that reports a failure.

// The files of one subcommand: the image it reads and the file it writes, which never replaces
// the image.
class CommandFiles {
 public:
  CommandFiles();

  // The bytes of the image file; throws ImageError when it cannot be read.
  std::string ReadImageFile(const std::string& path);
  // `bytes` to standard output when `path` is "-", else into the file, which appears whole or
  // not at all.
  void WriteOutput(const std::string& path, std::string_view bytes);

 private:
  RunFiles files_;
};

// Runs `body` for `command` on `image`; a failure becomes one line on standard error,
// "mq71 COMMAND: IMAGE: what" for a fault of the image, and the failure status.
int RunReportingFailure(std::string_view command, const std::string& image,
                        const std::function<void(CommandFiles&)>& body);

// "mq71 COMMAND: message" on standard error.
void PrintDiagnostic(std::string_view command, std::string_view message);
