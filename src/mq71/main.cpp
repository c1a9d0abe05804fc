// mq71: tools for the images that mq71asm writes. Each subcommand is a module that registers its
// options; main parses the command line and runs the subcommand given.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "image/Imagereader.h"
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

}  // namespace

int main(int argc, char** argv) {
  CLI::App application("mq71: tools for Mq71R04 program images", "mq71");
  application.set_version_flag("--version", VersionText());
  application.require_subcommand(1);
  const std::vector<Subcommand> subcommands = {AddConvertCommand(application),
                                               AddDisasmCommand(application)};
  try {
    application.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ExitAfterParseError(application, error);
  }
  for (const Subcommand& subcommand : subcommands) {
    if (subcommand.Parser->parsed()) return subcommand.Run();
  }
  return ExitUsageError;
}
