#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "preprocessor/Definereader.h"
#include "preprocessor/Includeloader.h"
#include "preprocessor/Sourcereader.h"
#include "preprocessor/Tablewalk.h"

namespace {

// One line of a top-level file: a #define, an #include, or a row. False when it reported an
// error that fails the pass.
bool LoadTopLevelLine(TMq71R04CompilerObject& job, const std::string& fileName, int lineIndex,
                      std::string_view lineNumber, std::string_view sourceLine) {
  bool failed = false;
  std::string_view line = CommentRemoved(sourceLine);
  if (line.starts_with("#define")) {
    switch (ReadTopLevelDefine(line, fileName, lineIndex, *job.Defines, job.Out, failed)) {
      case DefineOutcome::Dropped:
        return !failed;
      case DefineOutcome::Emptied:
        line = {};
        break;
      case DefineOutcome::Unchanged:
        break;
    }
  }
  if (line.starts_with("#include ")) {
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
  AddSourceRow(*job.WorkTable, fileName, lineNumber, line);
  return !failed;
}

// The rows, #defines and #includes of a top-level file. The file's bytes are released before
// the table walk, which then reuses their memory instead of touching new pages. False when a
// line reported an error that fails the pass.
bool LoadTopLevelFile(TMq71R04CompilerObject& job, const std::string& fileName) {
  const std::string bytes = ReadSourceBytes(job.Files, fileName);
  // Room for every line plus a quarter, so that the walk's expansions find room in place
  // instead of moving the whole table; room never used costs no memory.
  const int lineCount = static_cast<int>(LineEndCount(bytes) + 1);
  job.WorkTable->Reserve(job.WorkTable->RowCount() + lineCount + lineCount / 4 + 16);
  SourceLineCursor lines(bytes);
  std::string_view line;
  LineNumberText number;
  bool failed = false;
  for (int j = 0; lines.Next(line); ++j, number.Increment()) {
    if (!LoadTopLevelLine(job, fileName, j, number.View(), line)) failed = true;
  }
  return !failed;
}

}  // namespace

// The first pass: the top-level source files in list order, each followed by a walk over the
// whole table, so a #define or macro of a later file also reaches the rows of earlier ones.
int TMq71R04CompilerObject::Preprocess() {
  bool failed = false;
  for (size_t i = 0; i < SourceFiles->size(); ++i) {
    const std::string fileName = (*SourceFiles)[i];
    if (!LoadTopLevelFile(*this, fileName)) failed = true;
    WalkTable(*this);
  }
  return failed ? 1 : 0;
}
