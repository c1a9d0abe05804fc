#include "mq71/Disasmcommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <string>

#include "image/Disassembler.h"
#include "image/Imagereader.h"
#include "mq71/Commandsupport.h"

namespace {

struct DisasmOptions {
  std::string Image;
  std::string Output = "-";
  bool RawInput = false;
};

// Parts of a foreign image that the source cannot rebuild are warnings: the source is still
// written.
int RunDisasm(const DisasmOptions& options) {
  return RunReportingFailure("disasm", options.Image, [&options](CommandFiles& files) {
    const LoadedImage image = ReadImage(files.ReadImageFile(options.Image), options.RawInput);
    const std::string name = std::filesystem::path(options.Image).filename().string();
    const Disassembly disassembly = DisassembleImage(image, name);
    for (const std::string& warning : disassembly.Warnings) {
      PrintDiagnostic("disasm", options.Image + ": warning: " + warning);
    }
    files.WriteOutput(options.Output, disassembly.Source);
  });
}

}  // namespace

Subcommand AddDisasmCommand(CLI::App& application) {
  auto options = std::make_shared<DisasmOptions>();
  CLI::App* command = application.add_subcommand(
      "disasm", "Print source that mq71asm assembles back into the same image");
  command->add_option("IMAGE", options->Image, "image file as mq71asm writes it")->required();
  command->add_option("-o,--output", options->Output, "output file; - for standard output")
      ->capture_default_str();
  command->add_flag("--raw-input", options->RawInput, "the image has no 512-byte header");
  return {command, [options] { return RunDisasm(*options); }};
}
