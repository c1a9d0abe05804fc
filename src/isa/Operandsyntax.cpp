// Statement syntax of the instruction set object: labels, the command word and comma-separated
// operand or argument lists.

#include <array>

#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

namespace {

constexpr std::string_view MacroArgumentListMessage =
    "[preprocessor error]%s(%s): Invalid macros argument list \"%s\".";
constexpr std::string_view DataSegmentListMessage =
    "[preprocessor error]%s(%s): Invalid data segment argument list \"%s\".";

// Labels end at ":"; removing them one after another, each time trimming what is left, leaves
// the trimmed text after the last ":". A text without ":" is returned as it stands.
std::string_view StripLabels(std::string_view statement) {
  // Most statements have no label: one quick search settles that before the search from the end.
  if (statement.find(':') == std::string_view::npos) return statement;
  const size_t lastColon = statement.rfind(':');
  return TrimmedView(statement.substr(lastColon + 1));
}

// Position of the first space or tab, or npos.
size_t FirstBlank(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // Letters and digits, nearly every character here, fail the first test alone.
    if (static_cast<unsigned char>(c) <= ' ' && (c == ' ' || c == '\t')) return i;
  }
  return std::string_view::npos;
}

// A statement without its labels, cut at the first blank: the command word and the trimmed text
// after it. Both are views into the statement, found in one pass over it.
struct CommandAndArguments {
  std::string_view Command;
  std::string_view Arguments;
  bool HasBlank = false;  // a blank follows the command, even when nothing else does
};

CommandAndArguments SplitAtCommand(std::string_view statement) {
  const std::string_view text = StripLabels(statement);
  const size_t blank = FirstBlank(text);
  if (blank == std::string_view::npos) return {text, {}, false};
  return {text.substr(0, blank), TrimmedView(text.substr(blank)), true};
}

// One piece of a comma-separated list: the text up to the next "," or the end, without the
// characters of code 32 or less at either end.
struct ListPiece {
  std::string_view Text;
  bool BlankInside = false;  // a space (or, with tabIsBlank, a tab) between two of its characters
  size_t Next = std::string_view::npos;  // where the piece after the "," begins; npos at the end
};

// Reads the piece that begins at `start` in one pass over its characters: every row's operands
// go through here, so finding the comma, trimming and looking for blanks are not three passes.
ListPiece ReadPiece(std::string_view list, size_t start, bool tabIsBlank) {
  ListPiece piece;
  size_t first = std::string_view::npos;
  size_t last = 0;
  bool blankSinceLast = false;
  size_t i = start;
  for (; i < list.size() && list[i] != ','; ++i) {
    const char c = list[i];
    if (static_cast<unsigned char>(c) > 32) {
      if (first == std::string_view::npos) {
        first = i;
      } else if (blankSinceLast) {
        piece.BlankInside = true;
      }
      blankSinceLast = false;
      last = i;
    } else if (c == ' ' || (tabIsBlank && c == '\t')) {
      blankSinceLast = true;
    }
  }
  if (first != std::string_view::npos) piece.Text = list.substr(first, last - first + 1);
  if (i < list.size()) piece.Next = i + 1;
  return piece;
}

// Splits at every ",", trimming each piece, and hands the pieces to `visit` up to the first empty
// one or one with a space inside; tells whether every piece was acceptable. Unless `tabIsBlank`,
// only the space is refused inside an operand: a tab between two characters stays part of it.
template <typename Visit>
bool VisitPieces(std::string_view argumentText, bool tabIsBlank, Visit visit) {
  size_t start = 0;
  while (true) {
    const ListPiece piece = ReadPiece(argumentText, start, tabIsBlank);
    if (piece.Text.empty() || piece.BlankInside) return false;
    visit(piece.Text);
    if (piece.Next == std::string_view::npos) return true;
    start = piece.Next;
  }
}

bool AppendOperands(std::string_view argumentText, OperandList& list, bool tabIsBlank = false) {
  return VisitPieces(argumentText, tabIsBlank,
                     [&list](std::string_view piece) { list.Items.emplace_back(piece); });
}

// A malformed list always has an entry 0 to carry its status.
int MarkInvalid(OperandList& list) {
  if (list.Items.empty()) list.Items.emplace_back();
  list.Status = StatusInvalid;
  return 1;
}

}  // namespace

// A statement without ":" that begins with a blank has an empty command; callers pass trimmed
// statements.
std::string_view TMq71R04_ASMParserObject::ExtractCommand(std::string_view statement) const {
  return SplitAtCommand(statement).Command;
}

// Recognition only needs the first two operands and the count, so the pieces stay views of the
// statement rather than strings in a list. Every row's statement comes through here, so the pieces
// are read in one pass: the characters of an operand, nearly all above 32, go through a loop that
// tests nothing else, and only what follows them is looked at for blanks.
int TMq71R04_ASMParserObject::SplitStatement(std::string_view statement, std::string_view& command,
                                             OperandViews& operands) {
  const size_t blank = FirstBlank(statement);
  command = statement.substr(0, blank);
  operands = {};
  if (blank == std::string_view::npos) return 0;
  const char* const end = statement.data() + statement.size();
  const char* at = statement.data() + blank;  // on the blank, then on each ","
  const auto above32 = [](char c) { return static_cast<unsigned char>(c) > 32; };
  // The characters that go on an operand: above 32 and not ",". One table look-up for each.
  static constexpr std::array<bool, 256> OperandCharacter = [] {
    std::array<bool, 256> table{};
    for (int c = 33; c < 256; ++c) table[static_cast<size_t>(c)] = c != ',';
    return table;
  }();
  while (true) {
    // The characters of code 32 or less in front of the piece (a "," is above 32).
    while (at != end && !above32(*at)) ++at;
    if (at == end || *at == ',') return 1;  // an empty piece
    const char* const first = at;
    while (at != end && OperandCharacter[static_cast<unsigned char>(*at)]) ++at;
    // The piece goes on after characters of code 32 or less only when it holds no space or tab.
    const char* last = at;
    bool blankSeen = false;
    for (; at != end && *at != ','; ++at) {
      if (above32(*at)) {
        if (blankSeen) return 1;  // a blank inside the piece
        last = at + 1;
      } else if (*at == ' ' || *at == '\t') {
        blankSeen = true;
      }
    }
    if (operands.Count < operands.First.size()) {
      operands.First[operands.Count] = std::string_view(first, static_cast<size_t>(last - first));
    }
    ++operands.Count;
    if (at == end) return 0;
    ++at;  // over the ","
  }
}

int TMq71R04_ASMParserObject::SplitArgumentList(std::string_view statement, OperandList& list,
                                                ArgumentListKind kind, std::string_view lineText,
                                                std::string_view fileName) const {
  const std::string_view argumentText = SplitAtCommand(statement).Arguments;
  if (argumentText.empty()) {
    list.Items.emplace_back();
    list.Status = StatusNoArguments;
    return 0;
  }
  if (AppendOperands(argumentText, list)) return 0;
  const std::string_view pattern =
      kind == MacroArgumentList ? MacroArgumentListMessage : DataSegmentListMessage;
  out_->WriteLine(FormatMessage(pattern, {fileName, lineText, argumentText}));
  return MarkInvalid(list);
}
