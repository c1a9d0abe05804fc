#include "preprocessor/Includeloader.h"

#include <exception>
#include <memory>

#include "driver/Compilerobject.h"
#include "preprocessor/Calldumps.h"
#include "preprocessor/Definereader.h"
#include "preprocessor/Macrosobject.h"
#include "preprocessor/Preprocessormessages.h"
#include "preprocessor/Sourcereader.h"
#include "support/Textutils.h"
#include "support/Translatorerror.h"

namespace PM = PreprocessorMessages;

namespace {

// The name without its first and last character, whatever they are.
std::string WithoutEnds(const std::string& name) {
  return name.size() < 2 ? std::string() : name.substr(1, name.size() - 2);
}

// Reading and processing are guarded together: any error is reported against the #include
// line, the rest of the file is skipped, and what its earlier lines did stays done.
IncludeResult LoadQuotedInclude(TMq71R04CompilerObject& job, CallDumps& dumps,
                                const std::string& fileName, int lineIndex,
                                const std::string& includeName) {
  try {
    std::vector<std::string> lines = SourceLines(ReadSourceFile(dumps, includeName));
    LoadIncludedLines(job, includeName, lines);
    return IncludeResult::Loaded;
  } catch (const std::exception& error) {
    job.Out.Report(PM::IncludeFailed, SourcePlace::At(fileName, lineIndex), {error.what()});
    return IncludeResult::Failed;
  }
}

// The library directories in their order; the first that gives the file is used. Only the
// reading is guarded: an error while its lines are processed ends the run.
IncludeResult LoadLibraryInclude(TMq71R04CompilerObject& job, CallDumps& dumps,
                                 const std::string& fileName, int lineIndex,
                                 const std::string& includeName) {
  for (const std::string& directory : *job.LibraryDirs) {
    std::string bytes;
    if (!dumps.ReadInput(directory + "/" + includeName, bytes)) continue;
    std::vector<std::string> lines = SourceLines(bytes);
    LoadIncludedLines(job, includeName, lines);
    return IncludeResult::Loaded;
  }
  job.Out.Report(PM::CannotOpenLibraryFile, SourcePlace::At(fileName, lineIndex), {includeName});
  return IncludeResult::Failed;
}

}  // namespace

IncludeResult LoadInclude(TMq71R04CompilerObject& job, CallDumps& dumps,
                          const std::string& fileName, int lineIndex, std::string_view line) {
  const std::string name = Trim(line.substr(9));
  if (!name.empty() && (name.front() == '"' || name.back() == '"')) {
    return LoadQuotedInclude(job, dumps, fileName, lineIndex, WithoutEnds(name));
  }
  if (!name.empty() && (name.front() == '<' || name.back() == '>')) {
    return LoadLibraryInclude(job, dumps, fileName, lineIndex, WithoutEnds(name));
  }
  job.Out.Report(PM::InvalidInclude, SourcePlace::At(fileName, lineIndex));
  return IncludeResult::Malformed;
}

void LoadIncludedLines(TMq71R04CompilerObject& job, const std::string& includeName,
                       std::vector<std::string>& lines) {
  for (int l = 0; l < static_cast<int>(lines.size()); ++l) {
    lines[l] = std::string(CommentRemoved(lines[l]));
    if (lines[l].empty()) continue;
    if (Contains(lines[l], "#define ")) {
      ReadIncludedDefine(lines[l], includeName, l, *job.Defines, job.Out);
    }
    if (StartsWith(TrimmedView(lines[l]), ".macro ")) {
      auto definition = std::make_unique<TMacrosObject>(job);
      if (definition->ReadDefinition(includeName, lines, l) == 0) {
        job.Macros->push_back(std::move(definition));
      }
      continue;
    }
    // A macro definition reads on past its first line: the number is made from `l` here.
    AddSourceRow(*job.WorkTable, includeName, std::to_string(l), lines[l]);
  }
}
