#include <string>
#include <vector>

#include "driver/Compilerobject.h"
#include "preprocessor/Definereader.h"
#include "preprocessor/Includeloader.h"
#include "preprocessor/Sourcereader.h"
#include "preprocessor/Tablewalk.h"
#include "worktable/Textutils.h"

namespace {

// One line of a top-level file: a #define, an #include, or a row. False when it reported an
// error that fails the pass.
bool LoadTopLevelLine(TMq71R04CompilerObject& job, const std::string& fileName, int lineIndex,
                      std::string& line) {
  bool failed = false;
  line = RemoveComment(line);
  if (StartsWith(line, "#define")) {
    switch (ReadTopLevelDefine(line, fileName, lineIndex, *job.Defines, job.Out, failed)) {
      case DefineOutcome::Dropped:
        return !failed;
      case DefineOutcome::Emptied:
        line.clear();
        break;
      case DefineOutcome::Unchanged:
        break;
    }
  }
  if (StartsWith(line, "#include ")) {
    switch (LoadInclude(job, fileName, lineIndex, line)) {
      case IncludeResult::Loaded:
        return !failed;
      case IncludeResult::Failed:
        return false;
      case IncludeResult::Malformed:
        failed = true;
        break;
    }
  }
  job.WorkTable->AddRow(fileName, std::to_string(lineIndex), Trim(line), "$", "$", "$", "$", "$");
  return !failed;
}

}  // namespace

// The first pass: the top-level source files in list order, each followed by a walk over the
// whole table, so a #define or macro of a later file also reaches the rows of earlier ones.
int TMq71R04CompilerObject::Preprocess() {
  bool failed = false;
  for (size_t i = 0; i < SourceFiles->size(); ++i) {
    const std::string fileName = (*SourceFiles)[i];
    std::vector<std::string> lines = ReadSourceLines(fileName);
    for (size_t j = 0; j < lines.size(); ++j) {
      if (!LoadTopLevelLine(*this, fileName, static_cast<int>(j), lines[j])) failed = true;
    }
    WalkTable(*this);
  }
  return failed ? 1 : 0;
}
