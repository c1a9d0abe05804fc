#include "mq71/Commandsupport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "image/Imageerror.h"
#include "mq71/Subcommand.h"
#include "passes/Replacementfile.h"

std::string ReadInputFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ImageError(std::string("cannot open the file: ") + std::strerror(errno));
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw ImageError("cannot read the file");
  return bytes;
}

void WriteOutput(const std::string& path, std::string_view bytes) {
  if (path == "-") {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    if (!written || std::fflush(stdout) != 0) {
      throw std::runtime_error("cannot write to standard output");
    }
    return;
  }
  TReplacementFile file(path);
  file.Write(bytes);
  file.Commit();
}

void PrintDiagnostic(std::string_view command, std::string_view message) {
  std::fprintf(stderr, "mq71 %.*s: %.*s\n", static_cast<int>(command.size()), command.data(),
               static_cast<int>(message.size()), message.data());
}

// Faults of the image name it; faults of the output name their own file.
int RunReportingFailure(std::string_view command, const std::string& image,
                        const std::function<void()>& body) {
  try {
    body();
    return ExitSuccess;
  } catch (const ImageError& error) {
    PrintDiagnostic(command, image + ": " + error.what());
  } catch (const std::exception& error) {
    PrintDiagnostic(command, error.what());
  }
  return ExitFailure;
}
