#include "preprocessor/Tablewalk.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Macrosobject.h"

namespace {

// Positions in `Macros` of the definitions of each name, in list order.
std::unordered_map<std::string, std::vector<int>> IndexMacrosByName(
    const std::vector<std::unique_ptr<TMacrosObject>>& macros) {
  std::unordered_map<std::string, std::vector<int>> positions;
  for (size_t k = 0; k < macros.size(); ++k) {
    positions[macros[k]->Name].push_back(static_cast<int>(k));
  }
  return positions;
}

// Everything up to and including the last ':'.
std::string CallLabels(const std::string& text) {
  const size_t colon = text.rfind(':');
  return colon == std::string::npos ? std::string() : text.substr(0, colon + 1);
}

enum class CallOutcome { NotExpanded, Expanded, Vanished };

// A call of a macro whose body has no rows leaves only its labels: in front of the row that
// follows, or, when the call was the last row, as the call row's whole text.
void RemoveEmptyCall(TWorkTableObject& table, int row, const std::string& callLabels) {
  if (row + 1 == table.RowCount() && !callLabels.empty()) {
    table.SetItem(row, ColText, callLabels);
    return;
  }
  table.DeleteRow(row);
  if (row < table.RowCount()) table.SetItem(row, ColText, callLabels + table.Cell(row, ColText));
}

// Replaces the call at `row` by the expanded body of `definition`; `row` ends at the last
// inserted row (one before the call's place when nothing was inserted).
CallOutcome ExpandCall(TMq71R04CompilerObject& job, const TMq71R04_ASMParserObject& parser,
                       TMacrosObject& definition, int& row, const std::string& callLabels) {
  TWorkTableObject& table = *job.WorkTable;
  table.SaveToFile("sa.txt");
  const std::string callFile = table.Cell(row, ColFile);
  const std::string callLine = table.Cell(row, ColLine);
  OperandList split;
  parser.SplitArgumentList(table.Cell(row, ColText), split, MacroArgumentList, callLine, callFile);
  if (split.Status == StatusInvalid) return CallOutcome::NotExpanded;
  std::vector<std::string> arguments;
  if (split.Status != StatusNoArguments) arguments = std::move(split.Items);

  TMacrosObject call(job);
  call.Assign(definition);
  if (definition.ExpansionCount++ > 0) call.RenewGeneratedLabels();
  call.Expand(arguments, callFile, callLine);
  call.SaveToFile("MacrosBody.txt");
  if (call.RowCount() == 0) {
    RemoveEmptyCall(table, row, callLabels);
    row -= 1;
    return CallOutcome::Vanished;
  }
  table.DeleteRow(row);
  table.InsertTable(call, row);
  table.SetItem(row, ColText, callLabels + table.Cell(row, ColText));
  row += call.RowCount() - 1;
  return CallOutcome::Expanded;
}

}  // namespace

void WalkTable(TMq71R04CompilerObject& job) {
  TWorkTableObject& table = *job.WorkTable;
  const auto macrosByName = IndexMacrosByName(*job.Macros);
  for (int row = 0; row < table.RowCount(); ++row) {
    std::string text = table.Cell(row, ColText);
    job.Defines->Substitute(text);
    table.SetItem(row, ColText, text);
    const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job.Out);
    const std::string command = parser.ExtractCommand(text);
    const auto definitions = macrosByName.find(command);
    if (definitions == macrosByName.end()) continue;
    // Every definition of that name in turn; after an expansion the next one is compared with
    // the same command but works on the row where the expansion ended.
    const std::string callLabels = CallLabels(text);
    for (int k : definitions->second) {
      if (ExpandCall(job, parser, *(*job.Macros)[k], row, callLabels) == CallOutcome::Vanished) {
        break;
      }
    }
  }
}
