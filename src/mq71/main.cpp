// mq71: tools for the images that mq71asm writes. Each subcommand is a module that registers its
// options; main parses the command line and runs the subcommand given.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "image/Imagereader.h"
#include "mq71/Buildcommand.h"
#include "mq71/Convertcommand.h"
#include "mq71/Disasmcommand.h"
#include "mq71/Subcommand.h"

namespace {

std::string VersionText() {
  return "mq71 " MQ71_VERSION " (image format " + std::to_string(LoadedImage::FormatVersion) + ")";
}

// Help and version end the run successfully; any other parse error is a usage error.
int ExitAfterParseError(const CLI::App& application, const CLI::ParseError& error) {
  const int status = application.exit(error);
  return status == static_cast<int>(CLI::ExitCodes::Success) ? ExitSuccess : ExitUsageError;
}

// The arguments for the parser. It reads a dash and a letter as a short option, so "-MD", the
// name that make users know, becomes the long option "--MD".
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = argc - 1; i > 0; --i)
    arguments.push_back(argv[i] == std::string("-MD") ? "--MD" : argv[i]);
  return arguments;  // in reverse order, as the parser takes them
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App application("mq71: the Mq71R04 assembler and its image tools", "mq71");
  application.set_version_flag("--version", VersionText());
  application.require_subcommand(1);
  const std::vector<Subcommand> subcommands = {
      AddBuildCommand(application), AddConvertCommand(application), AddDisasmCommand(application)};
  // "mq71 build --version" answers as "mq71 --version" does.
  for (const Subcommand& subcommand : subcommands) {
    subcommand.Parser->set_version_flag("--version", VersionText());
  }
  try {
    std::vector<std::string> arguments = Arguments(argc, argv);
    application.parse(arguments);
  } catch (const CLI::ParseError& error) {
    return ExitAfterParseError(application, error);
  }
  for (const Subcommand& subcommand : subcommands) {
    if (subcommand.Parser->parsed()) return subcommand.Run();
  }
  return ExitUsageError;
}
