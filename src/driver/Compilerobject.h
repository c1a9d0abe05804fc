#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/Outputsink.h"
#include "support/Runfiles.h"
#include "preprocessor/Definelist.h"
#include "preprocessor/Labelnamegenerator.h"
#include "worktable/Worktableobject.h"

class TMacrosObject;

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
  // The directory that relative image and listing names are taken from, as an absolute path;
  // empty: the root directory, joined with the name even when that is absolute.
  std::string OutputDirectory;
  // Names for labels declared in macro bodies; its state and memory last for the whole run.
  LabelNameGenerator LabelNames;
};
