#include "mq71/Buildcommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cmdline/Commandlinemessages.h"
#include "driver/Compilerobject.h"
#include "driver/Entrypoint.h"
#include "image/Imageformats.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "passes/Dependencyrules.h"
#include "passes/Symbolmap.h"
#include "support/Memoryfilesystem.h"

namespace fs = std::filesystem;
namespace CLM = CommandLineMessages;

namespace {

struct BuildOptions {
  std::vector<std::string> Sources;
  std::string Root;
  std::vector<std::string> LibraryDirs;
  std::string Output;
  std::string Format = "bin";
  bool Raw = false;
  std::string Checksum;
  std::string Handler;
  std::string Size;
  std::string Listing;
  std::string Map;
  bool DepsBesideOutput = false;
  std::string Deps;
  bool Quiet = false;  // the default; given only to say so
  bool Verbose = false;
  bool Report = false;
  bool Time = false;
  std::string Diagnostics = "gnu";
  std::string DumpDir;
};

// One build: the options, the directory mq71 was started in, and the job that translates.
class Build {
 public:
  explicit Build(const BuildOptions& options)
      : options_(options), start_(fs::current_path().string()), job_(stdout) {}

  int Run();

 private:
  bool Report(const MessageForm& form, std::string_view detail) {
    job_.Out.Report(Diagnostic::Of(form, SourcePlace::Nowhere(), {detail}));
    return false;
  }
  void ChooseOutputs();
  bool FindPaths();
  void SendDumps();
  // A name as seen from the start directory; `name` is taken from the root directory.
  std::string FromStart(const std::string& name) const;
  std::string ImageName() const;
  void WriteFile(const std::string& name, std::string_view text);
  void WriteProducts();
  void ReportFault(const std::string& what);

  const BuildOptions& options_;
  const std::string start_;
  TMq71R04CompilerObject job_;
};

void Build::ChooseOutputs() {
  if (options_.Diagnostics == "gnu") job_.Out.UseGnuDiagnostics(stderr, "mq71");
  if (!options_.Verbose) job_.Out.HideTrace();
  // Fixed seeds name macro labels the same way in every run; each definition gets its own.
  job_.MacroLabelSeed = [next = 0u]() mutable { return next++; };
  job_.OutputDirectory = start_;
  job_.OutputFileName = ImageName();
  job_.ListFileName = options_.Listing;
  job_.OutputFormat = options_.Format == "bin" ? nullptr : FindImageFormat(options_.Format);
  job_.RawImage = options_.Raw;
  job_.ChecksumLabel = options_.Checksum;
  job_.MalfunctionHandler = options_.Handler;
  if (!options_.Size.empty()) {
    TMq71R04_ASMParserObject::ConvertInteger(options_.Size, job_.ImageSizeLimit);
  }
  job_.ImageInfo = options_.Report;
  job_.PrintTime = options_.Time;
}

// Library directories are taken from the start directory, sources from the root directory.
bool Build::FindPaths() {
  FileSystem& files = job_.Files.Files();
  bool found = true;
  for (const std::string& directory : options_.LibraryDirs) {
    const std::string path =
        fs::path(directory).is_absolute() ? directory : start_ + "/" + directory;
    if (!files.IsDirectory(path)) found = Report(CLM::InvalidLibraryDir, directory);
    job_.LibraryDirs->push_back(path);
  }
  job_.RootDir = options_.Root.empty() ? "." : options_.Root;
  if (!files.EnterDirectory(job_.RootDir)) return Report(CLM::InvalidRootDir, job_.RootDir);
  for (const std::string& source : options_.Sources) {
    if (!files.IsRegularFile(source)) found = Report(CLM::InvalidSourceFile, source);
    job_.SourceFiles->push_back(source);
  }
  return found;
}

// Dump files go to the dump directory, made when missing, or stay in memory: never into the
// source tree unasked.
void Build::SendDumps() {
  if (options_.DumpDir.empty()) {
    job_.Files.SendDumpsTo(std::make_unique<MemoryFileSystem>(), "");
    return;
  }
  const fs::path directory = fs::absolute(options_.DumpDir);
  std::error_code ignored;
  fs::create_directories(directory, ignored);
  job_.Files.SendDumpsTo(nullptr, directory.string());
}

std::string Build::FromStart(const std::string& name) const {
  if (fs::path(name).is_absolute()) {
    const std::string prefix = start_ + "/";
    return name.starts_with(prefix) ? name.substr(prefix.size()) : name;
  }
  return options_.Root.empty() ? name : (fs::path(options_.Root) / name).string();
}

// The image's name as given, or the first source's with the format's extension.
std::string Build::ImageName() const {
  if (!options_.Output.empty()) return options_.Output;
  const ImageFormat* format = FindImageFormat(options_.Format);
  return fs::path(FromStart(options_.Sources.front()))
      .replace_extension(format->Extension)
      .string();
}

void Build::WriteFile(const std::string& name, std::string_view text) {
  const std::string path = fs::path(name).is_absolute() ? name : start_ + "/" + name;
  const std::unique_ptr<OutputFile> file = job_.Files.CreateOutput(path);
  file->Write(text);
  file->Commit();
}

// The map and the make rules, once the image is in place.
void Build::WriteProducts() {
  if (!options_.Map.empty()) WriteFile(options_.Map, SymbolMapText(job_));
  const std::string rulesName = !options_.Deps.empty()
                                    ? options_.Deps
                                    : (options_.DepsBesideOutput ? job_.OutputFileName + ".d" : "");
  if (rulesName.empty()) return;
  const std::set<std::string> sources(job_.SourceFiles->begin(), job_.SourceFiles->end());
  std::vector<std::string> sourceNames;
  std::vector<std::string> includeNames;
  for (const std::string& input : job_.Files.InputNames()) {
    (sources.count(input) > 0 ? sourceNames : includeNames).push_back(FromStart(input));
  }
  WriteFile(rulesName, DependencyRules(job_.OutputFileName, sourceNames, includeNames));
}

// A fault of the environment ends the build: in the GNU frame as an error of mq71, natively as
// mq71asm shows it.
void Build::ReportFault(const std::string& what) {
  job_.Out.Flush();
  if (options_.Diagnostics == "gnu") {
    job_.Out.Report(
        Diagnostic::Of({Stage::CommandLine, Severity::Error, HeadSpacing::Standard, "%s"},
                       SourcePlace::Nowhere(), {what}));
  } else {
    std::fprintf(stderr, "%s\n", what.c_str());
  }
}

int Build::Run() {
  int status = ExitFailure;
  try {
    ChooseOutputs();
    SendDumps();
    if (FindPaths()) {
      const uint32_t begin = job_.TickCounter();
      if (job_.Compile() == 0) {
        if (job_.PrintTime) {
          job_.Out.WriteLine("Translating time : " + FormatSeconds(job_.TickCounter() - begin) +
                             " sec.");
        }
        WriteProducts();
        status = ExitSuccess;
      }
    }
  } catch (const std::exception& error) {
    ReportFault(error.what());
    status = ExitFailure;
  }
  job_.Out.Flush();
  if (job_.Out.WriteFailed()) {
    std::fprintf(stderr, "mq71: error: cannot write to standard output\n");
    status = ExitFailure;
  }
  return status;
}

// --size takes what -is takes: a decimal or hexadecimal integer.
const CLI::Validator kInteger(
    [](std::string& text) {
      int32_t value = 0;
      return TMq71R04_ASMParserObject::ConvertInteger(text, value) ? std::string()
                                                                   : "not an integer: " + text;
    },
    "");

const CLI::Validator kFormatName(
    [](std::string& text) {
      return FindImageFormat(text) != nullptr ? std::string() : "unknown format: " + text;
    },
    "");

}  // namespace

Subcommand AddBuildCommand(CLI::App& application) {
  auto options = std::make_shared<BuildOptions>();
  CLI::App* command = application.add_subcommand("build", "Assemble sources into a program image");
  command->add_option("SOURCE", options->Sources, "source files, from the root directory")
      ->type_name("FILE")
      ->required();
  command->add_option("-C,--root", options->Root, "root directory (default: the current one)")
      ->type_name("DIR");
  command->add_option("-I", options->LibraryDirs, "library directory for #include <...>")
      ->type_name("DIR")
      ->allow_extra_args(false);
  command
      ->add_option("-o,--output", options->Output,
                   "image file (default: the first source with the format's extension)")
      ->type_name("FILE");
  command
      ->add_option("-f,--format", options->Format,
                   "image format: bin (default), vmem, "
                   "vmemb, ihex, mif, coe, raw")
      ->check(kFormatName)
      ->type_name("FORMAT");
  command->add_flag("--raw", options->Raw, "no 512-byte header");
  command->add_option("--checksum", options->Checksum, "label of a 32-bit checksum after the code")
      ->type_name("LABEL");
  command->add_option("--handler", options->Handler, "label that fill words jump to")
      ->type_name("LABEL");
  command->add_option("--size", options->Size, "image size in bytes, filled with jumps")
      ->check(kInteger)
      ->type_name("BYTES");
  command->add_option("--listing", options->Listing, "listing file")->type_name("FILE");
  command->add_option("--map", options->Map, "symbol map file")->type_name("FILE");
  command->add_flag("--MD", options->DepsBesideOutput, "make rules in IMAGE.d (also -MD)");
  command->add_option("--deps", options->Deps, "make rules in this file")->type_name("FILE");
  CLI::Option* quiet = command->add_flag("-q,--quiet", options->Quiet, "no trace (the default)");
  command->add_flag("-v,--verbose", options->Verbose, "print the translation trace")
      ->excludes(quiet);
  command->add_flag("--report", options->Report, "print the size and checksum report");
  command->add_flag("--time", options->Time, "print the translation time");
  command->add_option("--diagnostics", options->Diagnostics, "gnu (default) or native")
      ->check(CLI::IsMember({"gnu", "native"}))
      ->type_name("STYLE");
  command->add_option("--dump-dir", options->DumpDir, "directory for the preprocessor's dumps")
      ->type_name("DIR");
  return {command, [options] { return Build(*options).Run(); }};
}
