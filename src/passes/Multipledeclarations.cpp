#include "passes/Multipledeclarations.h"

#include "driver/Compilerobject.h"

#include <string>
#include <string_view>
#include <unordered_map>

#include "support/Textutils.h"

// Note [multiple declarations]
// For every label table entry in order, with n its name, the first row f whose labels hold n
// keeps them, and every later row that still holds n is reported (in row order) and loses its
// first declaration of n. A name declared twice in one later row is therefore reported once under
// each of two entries of that name, and a name declared twice in row f is never reported. An
// entry's name ends at its first "=", so an entry need not be named like any declaration.
//
// Only declarations of n after f are ever removed, so f stays fixed and the later rows holding n
// only shrink. Each name therefore keeps a list of its later carrier rows, each with the
// declarations it has left; an entry walks that list once, reports every row on it and drops the
// rows that have run out. Every step of a walk prints a message, so the whole stage is linear in
// the number of declarations. The ColLabels texts are rebuilt once at the end.

namespace {

constexpr MessageForm kMultipleDeclaration =
    NativeMessage("[compiler error] %s(%s) Multiple declaration for label \"%s\"");

// A row after the first one that declares a name, with the declarations of the name it has
// left: positions [Next, End) of the name's declaration list.
struct LaterCarrier {
  int Row;
  size_t Next;
  size_t End;
};

struct NameDeclarations {
  std::vector<size_t> Declarations;  // indices into the declaration list, in order
  std::vector<LaterCarrier> LaterCarriers;
};

using DeclarationsByName = std::unordered_map<std::string_view, NameDeclarations>;

DeclarationsByName GroupByName(const std::vector<LabelDeclaration>& declarations) {
  DeclarationsByName names;
  for (size_t i = 0; i < declarations.size(); ++i) {
    names[declarations[i].Name].Declarations.push_back(i);
  }
  for (auto& [name, group] : names) {
    const int firstRow = declarations[group.Declarations.front()].Row;
    for (size_t k = 0; k < group.Declarations.size(); ++k) {
      const int row = declarations[group.Declarations[k]].Row;
      if (row == firstRow) continue;
      if (!group.LaterCarriers.empty() && group.LaterCarriers.back().Row == row) {
        ++group.LaterCarriers.back().End;
      } else {
        group.LaterCarriers.push_back({row, k, k + 1});
      }
    }
  }
  return names;
}

// ColLabels again from the declarations left, each followed by ":"; whatever stood after the
// last ":" stays at the end.
void RebuildLabels(TWorkTableObject& table, const std::vector<LabelDeclaration>& declarations,
                   const std::vector<bool>& removed, size_t begin, size_t end) {
  const int row = declarations[begin].Row;
  std::string labels;
  for (size_t i = begin; i < end; ++i) {
    if (!removed[i]) labels.append(declarations[i].Name).append(":");
  }
  labels.append(SplitAtLastColon(table.Cell(row, ColLabels)).Statement);
  table.SetItem(row, ColLabels, labels);
}

void RebuildEditedRows(TWorkTableObject& table, const std::vector<LabelDeclaration>& declarations,
                       const std::vector<bool>& removed) {
  for (size_t begin = 0; begin < declarations.size();) {
    size_t end = begin;
    bool edited = false;
    while (end < declarations.size() && declarations[end].Row == declarations[begin].Row) {
      edited = edited || removed[end];
      ++end;
    }
    if (edited) RebuildLabels(table, declarations, removed, begin, end);
    begin = end;
  }
}

}  // namespace

bool RemoveMultipleDeclarations(TMq71R04CompilerObject& job,
                                const std::vector<LabelDeclaration>& declarations) {
  TWorkTableObject& table = *job.WorkTable;
  DeclarationsByName names = GroupByName(declarations);
  std::vector<bool> removed(declarations.size(), false);
  bool reported = false;
  for (const LabelDeclaration& entry : declarations) {
    const std::string_view name = entry.Name.substr(0, entry.Name.find('='));
    const auto found = names.find(name);
    if (found == names.end()) continue;
    NameDeclarations& group = found->second;
    size_t kept = 0;
    for (LaterCarrier carrier : group.LaterCarriers) {
      job.ReportRow(carrier.Row, kMultipleDeclaration, {name});
      reported = true;
      removed[group.Declarations[carrier.Next++]] = true;
      if (carrier.Next < carrier.End) group.LaterCarriers[kept++] = carrier;
    }
    group.LaterCarriers.resize(kept);
  }
  RebuildEditedRows(table, declarations, removed);
  return reported;
}
