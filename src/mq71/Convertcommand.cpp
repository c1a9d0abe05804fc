#include "mq71/Convertcommand.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "image/Imageconversion.h"
#include "mq71/Commandsupport.h"

namespace {

struct ConvertOptions {
  std::string Image;
  std::string Format;
  std::string Output = "-";
  bool RawInput = false;
  std::optional<size_t> Depth;
};

std::string FormatList() {
  std::string list;
  for (const ImageFormat& format : ImageFormats()) {
    list += (list.empty() ? "" : ", ") + std::string(format.Name);
  }
  return list;
}

std::string FormatHelp() {
  std::string help = "output format:";
  for (const ImageFormat& format : ImageFormats()) {
    help += "\n  " + std::string(format.Name) + std::string(8 - format.Name.size(), ' ') +
            std::string(format.ReadBy);
  }
  return help;
}

// The format is checked here rather than by the parser: an unknown one is a failure (status 1)
// that names the known formats.
int RunConvert(const ConvertOptions& options) {
  const ImageFormat* format = FindImageFormat(options.Format);
  if (format == nullptr) {
    PrintDiagnostic("convert",
                    "unknown format \"" + options.Format + "\" (known: " + FormatList() + ")");
    return ExitFailure;
  }
  return RunReportingFailure("convert", options.Image, [&options, format](CommandFiles& files) {
    const ConversionRequest request{format, options.RawInput, options.Depth};
    files.WriteOutput(options.Output, ConvertImage(files.ReadImageFile(options.Image), request));
  });
}

}  // namespace

Subcommand AddConvertCommand(CLI::App& application) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command = application.add_subcommand(
      "convert", "Write an image's words in a format that FPGA and programming tools load");
  command->add_option("IMAGE", options->Image, "image file as mq71asm writes it")->required();
  command->add_option("-f,--format", options->Format, FormatHelp())->required();
  command->add_option("-o,--output", options->Output, "output file; - for standard output")
      ->capture_default_str();
  command->add_flag("--raw-input", options->RawInput, "the image has no 512-byte header");
  command->add_option("--depth", options->Depth, "pad with zero words to this many words");
  return {command, [options] { return RunConvert(*options); }};
}
