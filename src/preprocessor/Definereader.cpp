#include "preprocessor/Definereader.h"

#include <array>

#include "preprocessor/Preprocessormessages.h"
#include "support/Textutils.h"

namespace PM = PreprocessorMessages;

namespace {

constexpr std::string_view kForbiddenInIncludedFiles = "!\"$&'()*+,-./:<>=?@{}[]\\~`|";

// The same as a table, with '#' apart: every body is tested for them.
constexpr std::array<bool, 256> kForbiddenTable = [] {
  std::array<bool, 256> table{};
  for (const char c : kForbiddenInIncludedFiles) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

// The text behind the first occurrence of `c`, or all of it when there is none.
std::string_view AfterFirst(std::string_view text, char c) {
  const size_t at = text.find(c);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

struct DefineViews {
  std::string_view Symbol;
  std::string_view Value;
};

// SplitDefineBody without copies: views into `body`.
DefineViews SplitDefineViews(std::string_view body) {
  DefineViews parts;
  const size_t blank = body.find(' ');
  const size_t cut = blank != std::string_view::npos ? blank : body.find('\t');
  if (cut != std::string_view::npos) parts.Symbol = TrimmedView(body.substr(0, cut));
  const std::string_view value = TrimmedView(AfterFirst(body, ' '));
  parts.Value = Contains(value, '\t') ? TrimmedView(AfterFirst(value, '\t')) : value;
  return parts;
}

}  // namespace

DefineParts SplitDefineBody(std::string_view body) {
  const DefineViews parts = SplitDefineViews(body);
  return DefineParts{std::string(parts.Symbol), std::string(parts.Value)};
}

bool HasForbiddenCharacter(std::string_view body, bool topLevel) {
  for (const char c : body) {
    if (kForbiddenTable[static_cast<unsigned char>(c)] || (topLevel && c == '#')) return true;
  }
  return false;
}

DefineOutcome ReadTopLevelDefine(std::string_view line, std::string_view fileName, int lineIndex,
                                 DefineList& defines, OutputSink& out, bool& failed) {
  auto fail = [&](const char* pattern, std::string_view body, DefineOutcome outcome) {
    out.WriteLine(FormatMessage(pattern, {fileName, std::to_string(lineIndex), body}));
    failed = true;
    return outcome;
  };
  if (TrimmedView(line.substr(std::min<size_t>(7, line.size()))).empty()) {
    return fail(PM::DefineWithoutSymbol, {}, DefineOutcome::Dropped);
  }
  const std::string_view body = TrimmedView(line.substr(std::min<size_t>(8, line.size())));
  if (HasForbiddenCharacter(body, true))
    return fail(PM::InvalidDefine, body, DefineOutcome::Dropped);
  const DefineViews parts = SplitDefineViews(body);
  if (Contains(parts.Value, ' ')) return fail(PM::InvalidDefine, body, DefineOutcome::Unchanged);
  if (parts.Symbol == parts.Value) return fail(PM::DefineSymbolIsValue, {}, DefineOutcome::Dropped);
  defines.Append(parts.Symbol, parts.Value);
  return DefineOutcome::Emptied;
}

void ReadIncludedDefine(std::string& line, std::string_view includeName, int lineIndex,
                        DefineList& defines, OutputSink& out) {
  if (!StartsWith(line, "#define")) return;
  const std::string number = std::to_string(lineIndex);
  const std::string_view body =
      TrimmedView(std::string_view(line).substr(std::min<size_t>(8, line.size())));
  if (HasForbiddenCharacter(body, false)) {
    out.WriteLine(FormatMessage(PM::InvalidDefine, {includeName, number, body}));
  }
  const DefineViews parts = SplitDefineViews(body);
  if (Contains(parts.Value, ' ')) {
    out.WriteLine(FormatMessage(PM::InvalidDefine, {includeName, number, body}));
    return;
  }
  if (parts.Symbol == parts.Value) {
    out.WriteLine(FormatMessage(PM::DefineSymbolIsValue, {includeName, number}));
  } else {
    defines.Append(parts.Symbol, parts.Value);
  }
  line.clear();
}
