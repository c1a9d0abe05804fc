#include <algorithm>
#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "preprocessor/Calldumps.h"
#include "preprocessor/Definereader.h"
#include "preprocessor/Includeloader.h"
#include "preprocessor/Sourcereader.h"
#include "preprocessor/Tablewalk.h"

namespace {

size_t CountOf(std::string_view text, char c) {
  size_t count = 0;
  for (size_t at = text.find(c); at != std::string_view::npos; at = text.find(c, at + 1)) ++count;
  return count;
}

// One line of a top-level file: a #define, an #include, or a row. False when it reported an
// error that fails the pass.
bool LoadTopLevelLine(TMq71R04CompilerObject& job, CallDumps& dumps, const std::string& fileName,
                      int lineIndex, std::string_view lineNumber, std::string_view sourceLine) {
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
    switch (LoadInclude(job, dumps, fileName, lineIndex, line)) {
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

// The rows, #defines and #includes of a top-level file. False when a line reported an error
// that fails the pass.
bool LoadTopLevelFile(TMq71R04CompilerObject& job, CallDumps& dumps, const std::string& fileName) {
  const std::string bytes = ReadSourceFile(dumps, fileName);
  // Room for every line and a quarter more for expansions, so that the table is not moved
  // while it grows: at a million rows a move would briefly hold the table twice.
  const size_t lines = CountOf(bytes, '\n') + CountOf(bytes, '\r') + 1;
  job.WorkTable->Reserve(job.WorkTable->RowCount() + static_cast<int>(lines + lines / 4));
  bool failed = false;
  int lineIndex = 0;
  LineNumberText lineNumber;
  ForEachSourceLine(bytes, [&](std::string_view line) {
    if (!LoadTopLevelLine(job, dumps, fileName, lineIndex, lineNumber.View(), line)) failed = true;
    ++lineIndex;
    lineNumber.Increment();
  });
  return !failed;
}

}  // namespace

// The first pass: the top-level source files in list order, each followed by a walk over the
// table, so a #define or macro of a later file also reaches the rows of earlier ones.
int TMq71R04CompilerObject::Preprocess() {
  CallDumps dumps(*this);
  TableWalker walker(*this, dumps);
  bool failed = false;
  try {
    for (size_t i = 0; i < SourceFiles->size(); ++i) {
      const int rowsBefore = WorkTable->RowCount();
      if (!LoadTopLevelFile(*this, dumps, (*SourceFiles)[i])) failed = true;
      walker.AddSourceRows(static_cast<size_t>(WorkTable->RowCount() - rowsBefore));
      walker.Walk();
    }
  } catch (...) {
    // The error ends the run; the dumps held back are left behind as they stand.
    try {
      dumps.Flush();
    } catch (...) {
    }
    throw;
  }
  dumps.Flush();
  return failed || walker.ExpansionRefused() ? 1 : 0;
}
