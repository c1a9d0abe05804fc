#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/Textutils.h"
#include "worktable/Worktableobject.h"

class TMacrosObject;
class TMq71R04CompilerObject;
class TMq71R04_ASMParserObject;

// What the table walk needs to replace a macro call by the macro's body.

// The definitions a statement calls: those named exactly like its command word, in list order.
// The first byte of a statement's command word, as ExtractCommand finds the word (behind the
// last ':' and the characters of code 32 or less after it, or at the start, up to a blank or
// tab); -1 when the word is empty.
inline int CommandFirstByte(std::string_view text) {
  const LabelsAndStatement split = SplitAtLastColon(text);
  if (!split.Labels.empty()) text = TrimmedView(split.Statement);
  if (text.empty() || text[0] == ' ' || text[0] == '\t') return -1;
  return static_cast<unsigned char>(text[0]);
}

class MacroDirectory {
 public:
  explicit MacroDirectory(const std::vector<std::unique_ptr<TMacrosObject>>& macros);
  // Null when the statement `text` calls none. Every row of every walk is asked: the test that
  // settles nearly all of them is inline.
  const std::vector<TMacrosObject*>* CalledBy(const TMq71R04_ASMParserObject& parser,
                                              std::string_view text) const {
    if (byName_.empty()) return nullptr;
    // Nearly every statement's command word begins with a byte that begins no macro's name.
    const int first = CommandFirstByte(text);
    if (first < 0 ? !namelessDefinition_ : !nameStarts_[first]) return nullptr;
    return Named(parser, text);
  }

 private:
  // The definitions named like the command word of `text`.
  const std::vector<TMacrosObject*>* Named(const TMq71R04_ASMParserObject& parser,
                                           std::string_view text) const;

  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  std::unordered_map<std::string, std::vector<TMacrosObject*>, NameHash, std::equal_to<>> byName_;
  // The first bytes of the names: most command words begin with none of them.
  std::array<bool, 256> nameStarts_{};
  bool namelessDefinition_ = false;
};

// The labels of a call: everything up to and including the last ':' of its text.
std::string CallLabels(std::string_view text);

// The arguments of the call in `callRow`; none when its argument list is invalid (reported).
std::optional<std::vector<std::string>> CallArguments(const TMq71R04_ASMParserObject& parser,
                                                      const WorkTableRow& callRow);

// The rows of `definition` with the arguments substituted, as they replace the call in
// `callRow`. Every expansion of a definition but the first declares freshly named labels.
std::vector<WorkTableRow> ExpandedBody(TMq71R04CompilerObject& job, TMacrosObject& definition,
                                       std::vector<std::string> arguments,
                                       const WorkTableRow& callRow);
