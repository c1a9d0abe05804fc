#include "passes/Multipledeclarations.h"

#include <string_view>
#include <unordered_map>

#include "support/Textutils.h"

// Note [multiple declarations]
// The rule, as users see it: for every label table entry in order, with n its name, find the first
// row f whose labels hold n; then every later row that still holds n is reported (in row order)
// and loses its first declaration of n. A name declared twice in one later row is therefore
// reported once under each of two entries of that name, and a name declared twice in row f is
// never reported. Rows that hold no n are untouched.
//
// Only declarations of n after f are ever removed, so f stays fixed and the later rows holding n
// only shrink. Each name therefore keeps a list of its later carrier rows, each with the
// declarations it has left; an entry walks that list once, reports every row on it and drops the
// rows that have run out. Every step of a walk prints a message, so the whole stage is linear in
// the number of declarations. The table's ColLabels texts are rebuilt once at the end.
//
// Most programs declare every name once, and then there is nothing to do: a row can only be
// reported under a name n when two declarations are named exactly n, and a declaration named n
// holds no "=", so each of the two gave an entry named n. A label table without a repeated name
// therefore settles the stage without a look at the rows.

namespace {

constexpr std::string_view kMultipleDeclaration =
    "[compiler error] %s(%s) Multiple declaration for label \"%s\"";

class DeclarationGroup {
 public:
  void Add(int declaration) { declarations_.push_back(declaration); }

  // Reports each later carrier of the name once, marking one declaration of it removed.
  template <typename ReportRow>
  void RemoveOneFromEachLaterCarrier(const std::vector<LabelDeclaration>& all,
                                     std::vector<bool>& removed, ReportRow report) {
    if (!carriersBuilt_) BuildLaterCarriers(all);
    size_t kept = 0;
    for (Carrier& carrier : laterCarriers_) {
      report(carrier.Row);
      removed[declarations_[carrier.Next++]] = true;
      if (carrier.Next < carrier.End) laterCarriers_[kept++] = carrier;
    }
    laterCarriers_.resize(kept);
  }

 private:
  // A row after the first carrier, with the range of its declarations not yet removed.
  struct Carrier {
    int Row;
    size_t Next;
    size_t End;
  };

  void BuildLaterCarriers(const std::vector<LabelDeclaration>& all) {
    carriersBuilt_ = true;
    const int firstRow = all[declarations_.front()].Row;
    for (size_t i = 0; i < declarations_.size(); ++i) {
      const int row = all[declarations_[i]].Row;
      if (row == firstRow) continue;
      if (!laterCarriers_.empty() && laterCarriers_.back().Row == row) {
        laterCarriers_.back().End = i + 1;
      } else {
        laterCarriers_.push_back({row, i, i + 1});
      }
    }
  }

  std::vector<int> declarations_;  // indices into the declaration list, in order
  std::vector<Carrier> laterCarriers_;
  bool carriersBuilt_ = false;
};

// ColLabels again from the declarations left, each followed by ":"; whatever stood after the
// last ":" stays at the end.
void RebuildLabels(TWorkTableObject& table, const std::vector<LabelDeclaration>& declarations,
                   const std::vector<bool>& removed, size_t begin, size_t end) {
  const int row = declarations[begin].Row;
  const std::string_view old = table.Cell(row, ColLabels);
  std::string labels;
  for (size_t i = begin; i < end; ++i) {
    if (!removed[i]) labels.append(declarations[i].Name).append(":");
  }
  labels.append(old, old.rfind(':') + 1);
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

bool RemoveMultipleDeclarations(TWorkTableObject& table,
                                const std::vector<LabelDeclaration>& declarations,
                                const TLabelTable& labels, OutputSink& out) {
  if (!labels.HasRepeatedName()) return false;
  std::unordered_map<std::string_view, DeclarationGroup> groups;
  groups.reserve(declarations.size());
  for (size_t i = 0; i < declarations.size(); ++i) {
    groups[declarations[i].Name].Add(static_cast<int>(i));
  }
  std::vector<bool> removed(declarations.size(), false);
  bool reported = false;
  for (int entry = 0; entry < labels.Count(); ++entry) {
    // An entry's name ends at its first "=", so it need not be any row's declaration.
    const std::string_view name = labels.Name(entry);
    const auto group = groups.find(name);
    if (group == groups.end()) continue;
    group->second.RemoveOneFromEachLaterCarrier(declarations, removed, [&](int row) {
      out.WriteLine(FormatMessage(kMultipleDeclaration,
                                  {table.Cell(row, ColFile), table.Cell(row, ColLine), name}));
      reported = true;
    });
  }
  RebuildEditedRows(table, declarations, removed);
  return reported;
}
