// Statement syntax of the instruction set object: labels, the command word and comma-separated
// operand or argument lists.

#include <array>

#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

namespace {

constexpr MessageForm MacroArgumentListMessage =
    NativeMessage("[preprocessor error]%s(%s): Invalid macros argument list \"%s\".");
constexpr MessageForm DataSegmentListMessage =
    NativeMessage("[preprocessor error]%s(%s): Invalid data segment argument list \"%s\".");

// Removing the labels one after another, each time trimming what is left, leaves the trimmed
// text after the last ":"; a text without ":" stays as it is.
std::string_view WithoutLabels(std::string_view statement) {
  const LabelsAndStatement split = SplitAtLastColon(statement);
  return split.Labels.empty() ? statement : TrimmedView(split.Statement);
}

// A statement cut at its first blank (space or tab): the command word and the text after the
// blank. A statement that begins with a blank has an empty command.
struct CommandAndArguments {
  std::string_view Command;
  std::string_view Arguments;  // untrimmed
  bool HasBlank = false;       // a blank follows the command, even when nothing else does
};

// Every character of every statement is classed while it is split: each class is a table, so
// that a character costs one look-up rather than two or three comparisons.
template <typename IsMember>
constexpr std::array<bool, 256> CharacterClass(IsMember isMember) {
  std::array<bool, 256> table{};
  for (size_t c = 0; c < table.size(); ++c) table[c] = isMember(static_cast<unsigned char>(c));
  return table;
}

// The blanks that end the command word.
constexpr std::array<bool, 256> kEndsCommand =
    CharacterClass([](unsigned char c) { return c == ' ' || c == '\t'; });
// The characters of a run within a list piece: above code 32, and not the "," between pieces.
constexpr std::array<bool, 256> kContinuesRun =
    CharacterClass([](unsigned char c) { return c > 32 && c != ','; });

bool EndsCommand(char c) {
  return kEndsCommand[static_cast<unsigned char>(c)];
}

bool ContinuesRun(char c) {
  return kContinuesRun[static_cast<unsigned char>(c)];
}

// The length of the command word: up to the first blank, or the whole statement.
size_t CommandLength(std::string_view statement) {
  size_t length = 0;
  while (length < statement.size() && !EndsCommand(statement[length])) ++length;
  return length;
}

CommandAndArguments SplitAtCommand(std::string_view statement) {
  const size_t length = CommandLength(statement);
  if (length == statement.size()) return {statement, {}, false};
  return {statement.substr(0, length), statement.substr(length + 1), true};
}

// Splits `list` at every "," and hands the pieces, trimmed, to `visit` in order; false at the
// first piece that is empty or holds a blank between two of its characters. Blanks are spaces,
// and tabs too with `tabIsBlank`; otherwise a tab inside a piece stays part of it. Every row's
// operands come through here, so each piece is read in one pass.
template <typename Visit>
bool SplitList(std::string_view list, bool tabIsBlank, Visit visit) {
  const auto isVisible = [](char c) { return static_cast<unsigned char>(c) > 32; };
  const char* at = list.data();
  const char* const end = at + list.size();
  while (true) {
    while (at != end && !isVisible(*at)) ++at;
    const char* const first = at;
    const char* last = at;  // behind the piece's last character above code 32
    bool blankSeen = false;
    while (at != end && *at != ',') {
      if (isVisible(*at)) {
        if (blankSeen) return false;
        // Pieces are mostly one run of such characters, read here in a loop of its own.
        do ++at;
        while (at != end && ContinuesRun(*at));
        last = at;
      } else {
        blankSeen = blankSeen || *at == ' ' || (tabIsBlank && *at == '\t');
        ++at;
      }
    }
    if (last == first) return false;
    visit(std::string_view(first, static_cast<size_t>(last - first)));
    if (at == end) return true;
    ++at;  // over the ","
  }
}

}  // namespace

// Callers pass trimmed statements.
std::string_view TMq71R04_ASMParserObject::ExtractCommand(std::string_view statement) const {
  return SplitAtCommand(WithoutLabels(statement)).Command;
}

// After a malformed list, the pieces before the fault stay in it, and an empty list gets one
// empty entry, so that the list always has an entry 0 to carry its status.
int TMq71R04_ASMParserObject::SplitArgumentList(std::string_view statement, OperandList& list,
                                                ArgumentListKind kind, std::string_view lineText,
                                                std::string_view fileName) const {
  const std::string_view argumentText =
      TrimmedView(SplitAtCommand(WithoutLabels(statement)).Arguments);
  if (argumentText.empty()) {
    list.Items.emplace_back();
    list.Status = StatusNoArguments;
    return 0;
  }
  const auto append = [&list](std::string_view piece) { list.Items.emplace_back(piece); };
  if (SplitList(argumentText, false, append)) return 0;
  const MessageForm& form =
      kind == MacroArgumentList ? MacroArgumentListMessage : DataSegmentListMessage;
  out_->Report(form, SourcePlace::At(fileName, lineText), {argumentText});
  if (list.Items.empty()) list.Items.emplace_back();
  list.Status = StatusInvalid;
  return 1;
}

// A blank after the command with nothing after it leaves an empty list, which is malformed.
int TMq71R04_ASMParserObject::SplitStatement(std::string_view statement, std::string_view& command,
                                             OperandViews& operands) {
  // Every row comes through here: the command is cut off in place rather than by SplitAtCommand,
  // whose three-part result costs more than the few characters it reads.
  const size_t commandLength = CommandLength(statement);
  command = statement.substr(0, commandLength);
  operands = {};
  if (commandLength == statement.size()) return 0;
  const auto keep = [&operands](std::string_view piece) {
    if (operands.Count < operands.First.size()) operands.First[operands.Count] = piece;
    ++operands.Count;
  };
  return SplitList(statement.substr(commandLength + 1), true, keep) ? 0 : 1;
}
