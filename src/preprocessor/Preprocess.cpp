#include <string>
#include <vector>

#include "driver/Compilerobject.h"
#include "preprocessor/Definereader.h"
#include "preprocessor/Sourcereader.h"
#include "worktable/Textutils.h"

namespace {

void AddSourceRow(TWorkTableObject& table, const std::string& fileName, int lineIndex,
                  std::string text) {
  table.AddRow(fileName, std::to_string(lineIndex), std::move(text), "$", "$", "$", "$", "$");
}

}  // namespace

// Reads the top-level source files in order into the work table; see Preprocessrun.h.
int TMq71R04CompilerObject::Preprocess() {
  bool failed = false;
  for (size_t i = 0; i < SourceFiles->size(); ++i) {
    const std::string fileName = (*SourceFiles)[i];
    std::vector<std::string> lines = ReadSourceLines(fileName);
    for (size_t j = 0; j < lines.size(); ++j) {
      std::string& line = lines[j];
      line = RemoveComment(line);
      if (StartsWith(line, "#define")) {
        const DefineOutcome outcome =
            ReadTopLevelDefine(line, fileName, static_cast<int>(j), *Defines, Out, failed);
        if (outcome == DefineOutcome::Dropped) continue;
        if (outcome == DefineOutcome::Emptied) line.clear();
      }
      AddSourceRow(*WorkTable, fileName, static_cast<int>(j), Trim(line));
    }
  }
  return failed ? 1 : 0;
}
