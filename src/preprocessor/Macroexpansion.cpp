#include "preprocessor/Macroexpansion.h"

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Macrosobject.h"
#include "support/Textutils.h"

MacroDirectory::MacroDirectory(const std::vector<std::unique_ptr<TMacrosObject>>& macros) {
  for (const std::unique_ptr<TMacrosObject>& macro : macros) {
    byName_[macro->Name].push_back(macro.get());
    if (macro->Name.empty()) {
      namelessDefinition_ = true;
    } else {
      nameStarts_[static_cast<unsigned char>(macro->Name[0])] = true;
    }
  }
}

const std::vector<TMacrosObject*>* MacroDirectory::Named(const TMq71R04_ASMParserObject& parser,
                                                         std::string_view text) const {
  const auto found = byName_.find(parser.ExtractCommand(text));
  return found == byName_.end() ? nullptr : &found->second;
}

std::string CallLabels(std::string_view text) {
  return std::string(SplitAtLastColon(text).Labels);
}

std::optional<std::vector<std::string>> CallArguments(const TMq71R04_ASMParserObject& parser,
                                                      const WorkTableRow& callRow) {
  OperandList split;
  parser.SplitArgumentList(callRow[ColText], split, MacroArgumentList, callRow[ColLine],
                           callRow[ColFile]);
  if (split.Status == StatusInvalid) return std::nullopt;
  if (split.Status == StatusNoArguments) return std::vector<std::string>();
  return std::move(split.Items);
}

std::vector<WorkTableRow> ExpandedBody(TMq71R04CompilerObject& job, TMacrosObject& definition,
                                       std::vector<std::string> arguments,
                                       const WorkTableRow& callRow) {
  TMacrosObject call(job);
  call.Assign(definition);
  if (definition.ExpansionCount++ > 0) call.RenewGeneratedLabels();
  call.Expand(arguments, callRow[ColFile], callRow[ColLine]);
  std::vector<WorkTableRow> rows = call.TakeRows();
  const int origin = static_cast<int>(job.MacroCalls.size());
  job.MacroCalls.push_back({SourcePlace::At(callRow[ColFile], callRow[ColLine]), definition.Name});
  for (WorkTableRow& row : rows) row.SetOrigin(origin);
  return rows;
}
