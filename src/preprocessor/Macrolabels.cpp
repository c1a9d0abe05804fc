// Generated names for the labels declared inside a macro body.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "driver/Compilerobject.h"
#include "isa/Jumpcommands.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Macrosobject.h"
#include "preprocessor/Preprocessormessages.h"
#include "support/Textutils.h"

namespace PM = PreprocessorMessages;

namespace {

// A label that the integer conversion takes for a number, or would take but for a sign in front
// of a hexadecimal prefix ("-$1F", "+0x10"). `label` is trimmed.
bool IsWholeNumber(std::string_view label) {
  int32_t value = 0;
  if (TMq71R04_ASMParserObject::ConvertInteger(label, value)) return true;
  if (!label.starts_with('-') && !label.starts_with('+')) return false;
  const std::string_view rest = label.substr(1);
  const bool hexPrefix = rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X') ||
                         rest.starts_with("0x") || rest.starts_with("0X");
  return hexPrefix && TMq71R04_ASMParserObject::ConvertInteger(rest, value);
}

// The label a row names as an operand: the target of a jump command, after the row's first label
// is cut off. Blank is the space only. False when the row names none.
bool NamedLabel(std::string_view text, std::string& label) {
  const size_t colon = text.find(':');
  const std::string statement =
      Trim(colon == std::string_view::npos ? text : text.substr(colon + 1));
  const size_t blank = statement.find(' ');
  if (blank == std::string::npos) return false;
  const JumpCommand* jump = FindJumpCommand(Trim(std::string_view(statement).substr(0, blank)));
  if (jump == nullptr) return false;
  const std::string operand = Trim(std::string_view(statement).substr(blank + 1));
  if (jump->TargetOperand == 1) {
    label = operand;
    return true;
  }
  const size_t comma = operand.find(',');
  if (comma == std::string::npos) return false;
  label = Trim(std::string_view(operand).substr(comma + 1));
  return true;
}

// Replaces the last `oldText.size()` characters before the trailing characters of code 32 or
// less; these are the operand named by NamedLabel. False when they are not `oldText`.
bool ReplaceTrailingOperand(std::string& text, std::string_view oldText, std::string_view newText) {
  size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  if (end < oldText.size() || text.compare(end - oldText.size(), oldText.size(), oldText) != 0) {
    return false;
  }
  text.replace(end - oldText.size(), oldText.size(), newText);
  return true;
}

using RowsByName = std::unordered_map<std::string, std::vector<int>>;

// Every label a row declares (the text before each ':', trimmed), once per declaration.
RowsByName IndexDeclarations(const TWorkTableObject& body) {
  RowsByName rows;
  for (int row = 0; row < body.RowCount(); ++row) {
    std::string_view text = body.Cell(row, ColText);
    for (size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':')) {
      rows[Trim(text.substr(0, colon))].push_back(row);
      text.remove_prefix(colon + 1);
    }
  }
  return rows;
}

RowsByName IndexNamedLabels(const TWorkTableObject& body) {
  RowsByName rows;
  std::string label;
  for (int row = 0; row < body.RowCount(); ++row) {
    if (NamedLabel(body.Cell(row, ColText), label)) rows[label].push_back(row);
  }
  return rows;
}

}  // namespace

// Note [label renaming]
// Renaming a declaration changes only the text before a row's first ':', and renaming an
// operand only the end of a row's text, which holds no ':'. So the labels that rows declare
// never change while the body is walked, and the labels that rows name change only by the
// renaming itself: both can be indexed once instead of scanning the whole body per label.
int TMacrosObject::MakeLabelsUnique() {
  job_->LabelNames.Seed(job_->MacroLabelSeed());
  generatedLabels_.clear();
  labelPlaces_.clear();
  const RowsByName declarations = IndexDeclarations(*this);
  RowsByName namedLabels = IndexNamedLabels(*this);
  bool reported = false;
  for (int row = 0; row < RowCount(); ++row) {
    const std::string text(Cell(row, ColText));
    const size_t colon = text.find(':');
    if (colon == std::string::npos) continue;
    const std::string oldLabel = Trim(std::string_view(text).substr(0, colon));
    if (IsWholeNumber(oldLabel) || Contains(oldLabel, ' ') || Contains(oldLabel, '\t')) {
      job_->Out.Report(PM::InvalidMacroLabel,
                       SourcePlace::At(Cell(row, ColFile), Cell(row, ColLine)), {oldLabel});
      reported = true;
      continue;
    }
    const std::string newLabel = job_->LabelNames.NewLabel();
    const int label = static_cast<int>(generatedLabels_.size());
    generatedLabels_.push_back(newLabel);
    SetItem(row, ColText, newLabel + text.substr(colon));
    labelPlaces_[{row, false}] = label;

    const std::vector<int>& declaring = declarations.at(oldLabel);
    for (auto later = std::upper_bound(declaring.begin(), declaring.end(), row);
         later != declaring.end(); ++later) {
      job_->Out.Report(PM::MultipleLabelDeclaration,
                       SourcePlace::At(Cell(*later, ColFile), Cell(*later, ColLine)), {oldLabel});
      reported = true;
    }

    const auto naming = namedLabels.find(oldLabel);
    if (naming == namedLabels.end()) continue;
    std::vector<int> renamed = std::move(naming->second);
    namedLabels.erase(naming);
    for (int other : renamed) {
      std::string otherText(Cell(other, ColText));
      if (ReplaceTrailingOperand(otherText, oldLabel, newLabel)) {
        SetItem(other, ColText, std::move(otherText));
        labelPlaces_[{other, true}] = label;
      }
    }
    std::vector<int>& nowNaming = namedLabels[newLabel];
    nowNaming.insert(nowNaming.end(), renamed.begin(), renamed.end());
  }
  return reported ? 1 : 0;
}

void TMacrosObject::ReplaceLabelPlaces(const std::vector<std::string>& newNames) {
  for (const auto& [place, label] : labelPlaces_) {
    const auto [row, atEnd] = place;
    const std::string& oldName = generatedLabels_[label];
    std::string text(Cell(row, ColText));
    if (atEnd) {
      ReplaceTrailingOperand(text, oldName, newNames[label]);
    } else if (StartsWith(text, oldName)) {
      text.replace(0, oldName.size(), newNames[label]);
    }
    SetItem(row, ColText, std::move(text));
  }
}
