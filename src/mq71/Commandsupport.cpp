#include "mq71/Commandsupport.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "image/Imageerror.h"
#include "mq71/Subcommand.h"
#include "support/Diskfilesystem.h"

CommandFiles::CommandFiles() : files_(std::make_unique<DiskFileSystem>()) {}

std::string CommandFiles::ReadImageFile(const std::string& path) {
  std::string bytes;
  if (!files_.ReadInput(path, bytes)) throw ImageError("cannot read the file");
  return bytes;
}

void CommandFiles::WriteOutput(const std::string& path, std::string_view bytes) {
  if (path == "-") {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    if (!written || std::fflush(stdout) != 0) {
      throw std::runtime_error("cannot write to standard output");
    }
    return;
  }
  const std::unique_ptr<OutputFile> file = files_.CreateOutput(path);
  file->Write(bytes);
  file->Commit();
}

void PrintDiagnostic(std::string_view command, std::string_view message) {
  std::fprintf(stderr, "mq71 %.*s: %.*s\n", static_cast<int>(command.size()), command.data(),
               static_cast<int>(message.size()), message.data());
}

// Faults of the image name it; faults of the output name their own file.
int RunReportingFailure(std::string_view command, const std::string& image,
                        const std::function<void(CommandFiles&)>& body) {
  try {
    CommandFiles files;
    body(files);
    return ExitSuccess;
  } catch (const ImageError& error) {
    PrintDiagnostic(command, image + ": " + error.what());
  } catch (const std::exception& error) {
    PrintDiagnostic(command, error.what());
  }
  return ExitFailure;
}
