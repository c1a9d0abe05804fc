#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "preprocessor/Definelist.h"
#include "preprocessor/Labelnamegenerator.h"
#include "support/Outputsink.h"
#include "support/Runfiles.h"
#include "worktable/Worktableobject.h"

class TMacrosObject;
struct ImageFormat;

// The assembly job: the option values, the lists the preprocessor fills, the work table and the
// hand-over from label resolution to the output stage. Every pass is a member that takes nothing
// but the job and returns 0 for success, non-zero for failure.
class TMq71R04CompilerObject {
 public:
  // Messages go to `target`, or are kept in memory when it is null (tests).
  explicit TMq71R04CompilerObject(std::FILE* target = nullptr);
  TMq71R04CompilerObject(const TMq71R04CompilerObject&) = delete;
  TMq71R04CompilerObject& operator=(const TMq71R04CompilerObject&) = delete;
  ~TMq71R04CompilerObject();

  // Runs the six passes in order, every one of them, then the output stage when none failed.
  int Compile();

  int Preprocess();
  int CheckLabels();
  int AllocateData();
  int RecognizeCommands();
  int ResolveLabels();
  int Encode();
  int WriteOutput();

  void PrintUsage();

  std::string MalfunctionHandlerAddress;
  std::string RootDir;
  std::string ListFileName;
  std::string OutputFileName;
  bool TraceLines = false;
  bool PrintTime = false;
  bool ImageInfo = false;
  bool RawImage = false;
  std::string ChecksumLabel;
  std::string MalfunctionHandler;
  int32_t ImageSizeLimit = 0;
  std::unique_ptr<DefineList> Defines;
  std::unique_ptr<std::vector<std::string>> LibraryDirs;
  std::unique_ptr<std::vector<std::string>> SourceFiles;
  std::unique_ptr<std::vector<std::unique_ptr<TMacrosObject>>> Macros;
  std::unique_ptr<TWorkTableObject> WorkTable;

  // Where every message of the run goes.
  OutputSink Out;
  // Every file the run reads or writes.
  RunFiles Files;
  // The millisecond tick counter; replaceable so that tests get repeatable values.
  std::function<uint32_t()> TickCounter;
  // The seed of the names of each macro definition's labels: the tick counter, unless a run
  // that must be reproducible asks for fixed seeds.
  std::function<uint32_t()> MacroLabelSeed;
  // The memory format the image is written in; null: the image file as it is loaded.
  const ImageFormat* OutputFormat = nullptr;
  // The directory that relative image and listing names are taken from, as an absolute path;
  // empty: the root directory, joined with the name even when that is absolute.
  std::string OutputDirectory;
  // Names for labels declared in macro bodies; its state and memory last for the whole run.
  LabelNameGenerator LabelNames;

  // Every macro call expanded, numbered as the rows of its expansion name it (their Origin).
  // A deque, so that a call stays where it is while later calls are added.
  std::deque<MacroCallPlace> MacroCalls;
  // The call whose expansion gave `row`, or null for a row of the source itself.
  const MacroCallPlace* CallOf(const WorkTableRow& row) const {
    return row.Origin() < 0 ? nullptr : &MacroCalls[static_cast<size_t>(row.Origin())];
  }
  // Reports a diagnostic about the statement in `row`: at the row's file and line, with the
  // macro call it came from.
  void ReportRow(int row, const MessageForm& form,
                 std::initializer_list<std::string_view> details = {});
};
