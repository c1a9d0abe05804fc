#include "preprocessor/Definereader.h"

#include "preprocessor/Preprocessormessages.h"
#include "worktable/Textutils.h"

namespace PM = PreprocessorMessages;

namespace {

constexpr std::string_view kForbiddenInIncludedFiles = "!\"$&'()*+,-./:<>=?@{}[]\\~`|";

// The text behind the first occurrence of `c`, or all of it when there is none.
std::string_view AfterFirst(std::string_view text, char c) {
  const size_t at = text.find(c);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

}  // namespace

DefineParts SplitDefineBody(std::string_view body) {
  DefineParts parts;
  const size_t blank = body.find(' ');
  const size_t cut = blank != std::string_view::npos ? blank : body.find('\t');
  parts.Symbol = cut == std::string_view::npos ? std::string() : Trim(body.substr(0, cut));
  std::string value = Trim(AfterFirst(body, ' '));
  parts.Value = Contains(value, '\t') ? Trim(AfterFirst(value, '\t')) : value;
  return parts;
}

bool HasForbiddenCharacter(std::string_view body, bool topLevel) {
  if (topLevel && Contains(body, '#')) return true;
  return body.find_first_of(kForbiddenInIncludedFiles) != std::string_view::npos;
}

DefineOutcome ReadTopLevelDefine(std::string_view line, std::string_view fileName, int lineIndex,
                                 DefineList& defines, OutputSink& out, bool& failed) {
  const std::string number = std::to_string(lineIndex);
  auto fail = [&](const char* pattern, std::string_view body, DefineOutcome outcome) {
    out.WriteLine(FormatMessage(pattern, {fileName, number, body}));
    failed = true;
    return outcome;
  };
  if (Trim(line.substr(std::min<size_t>(7, line.size()))).empty()) {
    return fail(PM::DefineWithoutSymbol, {}, DefineOutcome::Dropped);
  }
  const std::string body = Trim(line.substr(std::min<size_t>(8, line.size())));
  if (HasForbiddenCharacter(body, true))
    return fail(PM::InvalidDefine, body, DefineOutcome::Dropped);
  DefineParts parts = SplitDefineBody(body);
  if (Contains(parts.Value, ' ')) return fail(PM::InvalidDefine, body, DefineOutcome::Unchanged);
  if (parts.Symbol == parts.Value) return fail(PM::DefineSymbolIsValue, {}, DefineOutcome::Dropped);
  defines.Append(parts.Symbol + "=" + parts.Value);
  return DefineOutcome::Emptied;
}

void ReadIncludedDefine(std::string& line, std::string_view includeName, int lineIndex,
                        DefineList& defines, OutputSink& out) {
  if (!StartsWith(line, "#define")) return;
  const std::string number = std::to_string(lineIndex);
  const std::string body = Trim(std::string_view(line).substr(std::min<size_t>(8, line.size())));
  if (HasForbiddenCharacter(body, false)) {
    out.WriteLine(FormatMessage(PM::InvalidDefine, {includeName, number, body}));
  }
  DefineParts parts = SplitDefineBody(body);
  if (Contains(parts.Value, ' ')) {
    out.WriteLine(FormatMessage(PM::InvalidDefine, {includeName, number, body}));
    return;
  }
  if (parts.Symbol == parts.Value) {
    out.WriteLine(FormatMessage(PM::DefineSymbolIsValue, {includeName, number}));
  } else {
    defines.Append(parts.Symbol + "=" + parts.Value);
  }
  line.clear();
}
