#include "preprocessor/Definereader.h"

#include "preprocessor/Preprocessormessages.h"
#include "support/Textutils.h"

namespace PM = PreprocessorMessages;

namespace {

constexpr std::string_view kForbiddenInIncludedFiles = "!\"$&'()*+,-./:<>=?@{}[]\\~`|";
constexpr std::string_view kForbiddenAtTopLevel = "!\"$&'()*+,-./:<>=?@{}[]\\~`|#";

// The text behind the first occurrence of `c`, or all of it when there is none.
std::string_view AfterFirst(std::string_view text, char c) {
  const size_t at = text.find(c);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

// The line without its first `count` characters, trimmed.
std::string_view TrimmedRest(std::string_view line, size_t count) {
  return TrimmedView(line.substr(std::min(count, line.size())));
}

}  // namespace

DefineParts SplitDefineBody(std::string_view body) {
  DefineParts parts;
  const size_t blank = body.find(' ');
  const size_t cut = blank != std::string_view::npos ? blank : body.find('\t');
  if (cut != std::string_view::npos) parts.Symbol = TrimmedView(body.substr(0, cut));
  const std::string_view value = TrimmedView(AfterFirst(body, ' '));
  parts.Value = Contains(value, '\t') ? TrimmedView(AfterFirst(value, '\t')) : value;
  return parts;
}

bool HasForbiddenCharacter(std::string_view body, bool topLevel) {
  const std::string_view forbidden = topLevel ? kForbiddenAtTopLevel : kForbiddenInIncludedFiles;
  return body.find_first_of(forbidden) != std::string_view::npos;
}

DefineOutcome ReadTopLevelDefine(std::string_view line, std::string_view fileName, int lineIndex,
                                 DefineList& defines, OutputSink& out, bool& failed) {
  auto fail = [&](const MessageForm& form, std::string_view body, DefineOutcome outcome) {
    out.Report(form, SourcePlace::At(fileName, lineIndex), {body});
    failed = true;
    return outcome;
  };
  if (TrimmedRest(line, 7).empty())
    return fail(PM::DefineWithoutSymbol, {}, DefineOutcome::Dropped);
  const std::string_view body = TrimmedRest(line, 8);
  if (HasForbiddenCharacter(body, true))
    return fail(PM::InvalidDefine, body, DefineOutcome::Dropped);
  const DefineParts parts = SplitDefineBody(body);
  if (Contains(parts.Value, ' ')) return fail(PM::InvalidDefine, body, DefineOutcome::Unchanged);
  if (parts.Symbol == parts.Value) return fail(PM::DefineSymbolIsValue, {}, DefineOutcome::Dropped);
  defines.Append(parts.Symbol, parts.Value);
  return DefineOutcome::Emptied;
}

void ReadIncludedDefine(std::string& line, std::string_view includeName, int lineIndex,
                        DefineList& defines, OutputSink& out) {
  if (!StartsWith(line, "#define")) return;
  const std::string_view body = TrimmedRest(line, 8);
  const SourcePlace place = SourcePlace::At(includeName, lineIndex);
  if (HasForbiddenCharacter(body, false)) out.Report(PM::InvalidDefine, place, {body});
  const DefineParts parts = SplitDefineBody(body);
  if (Contains(parts.Value, ' ')) {
    out.Report(PM::InvalidDefine, place, {body});
    return;
  }
  if (parts.Symbol == parts.Value) {
    out.Report(PM::DefineSymbolIsValue, place);
  } else {
    defines.Append(parts.Symbol, parts.Value);
  }
  line.clear();
}
