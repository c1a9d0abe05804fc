#include "driver/Compilerobject.h"

#include "preprocessor/Macrosobject.h"
#include "support/Diskfilesystem.h"
#include "support/Tickcounter.h"

TMq71R04CompilerObject::TMq71R04CompilerObject(std::FILE* target)
    : Out(target),
      Files(std::make_unique<DiskFileSystem>()),
      TickCounter(MonotonicTickCount),
      MacroLabelSeed([this] { return TickCounter(); }) {
  Defines = std::make_unique<DefineList>();
  LibraryDirs = std::make_unique<std::vector<std::string>>();
  SourceFiles = std::make_unique<std::vector<std::string>>();
  Macros = std::make_unique<std::vector<std::unique_ptr<TMacrosObject>>>();
  WorkTable = std::make_unique<TWorkTableObject>();
}

TMq71R04CompilerObject::~TMq71R04CompilerObject() {
  Defines.reset();
  LibraryDirs.reset();
  SourceFiles.reset();
  for (auto& macro : *Macros) macro.reset();  // first to last
  Macros.reset();
  WorkTable.reset();
}

void TMq71R04CompilerObject::ReportRow(int row, const MessageForm& form,
                                       std::initializer_list<std::string_view> details) {
  const WorkTableRow& cells = WorkTable->Rows()[row];
  Diagnostic diagnostic =
      Diagnostic::Of(form, SourcePlace::At(cells[ColFile], cells[ColLine]), details);
  if (const MacroCallPlace* call = CallOf(cells)) {
    diagnostic.CallPlace = call->Call;
    diagnostic.MacroName = call->MacroName;
  }
  Out.Report(diagnostic);
}

int TMq71R04CompilerObject::Compile() {
  // Every pass runs even after an earlier one failed, so one run reports every fault it can.
  const int results[] = {
      Preprocess(), CheckLabels(), AllocateData(), RecognizeCommands(), ResolveLabels(), Encode(),
  };
  for (int result : results) {
    if (result != 0) return 1;
  }
  WriteOutput();
  return 0;
}
