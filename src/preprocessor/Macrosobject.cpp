#include "preprocessor/Macrosobject.h"

#include <algorithm>

#include "driver/Compilerobject.h"
#include "preprocessor/Definereader.h"
#include "preprocessor/Parametertokenizer.h"
#include "preprocessor/Preprocessormessages.h"
#include "preprocessor/Sourcereader.h"
#include "support/Textutils.h"
#include "support/Translatorerror.h"

namespace PM = PreprocessorMessages;

int TMacrosObject::ReadDefinition(const std::string& includeName, std::vector<std::string>& lines,
                                  int& index) {
  const std::string header = std::move(lines[index]);
  lines[index].clear();
  ++index;
  // ".macro name p1, p2": with one blank after ".macro" the name is the next word; with two
  // the blank found in the untrimmed rest falls before the name, and the whole rest is the name.
  const std::string rest = header.size() > 7 ? header.substr(7) : std::string();
  const std::string trimmed = Trim(rest);
  const size_t blank = rest.find(' ');
  Name = blank == std::string::npos ? std::string() : Trim(trimmed.substr(0, blank));
  if (Name.empty()) Name = trimmed;
  bool rejected = false;
  ReadParameters(rest.substr(std::min(Name.size(), rest.size())), includeName, index, rejected);
  ReadBody(includeName, lines, index, rejected);
  for (int row = 0; row < RowCount(); ++row) {
    std::string text(Cell(row, ColText));
    text.erase(std::remove(text.begin(), text.end(), '\t'), text.end());
    SetItem(row, ColText, std::move(text));
  }
  MakeLabelsUnique();
  SaveDump(includeName);
  return rejected ? 1 : 0;
}

// The definition's dump file, named after the include and the macro, beside the include. A
// macro name cannot lead the file elsewhere: with a "/" or a NUL byte in it the dump is refused
// as a file that cannot be created.
void TMacrosObject::SaveDump(const std::string& includeName) const {
  const std::string fileName = includeName + "_" + Name + ".txt";
  if (Name.find_first_of(std::string_view("/\0", 2)) != std::string::npos) {
    throw TranslatorError("Cannot create file " + fileName);
  }
  SaveToFile(job_->Files, fileName);
}

// Names separated by commas, a trailing comma allowed; anything else after a name refuses the
// list (reported once).
void TMacrosObject::ReadParameters(const std::string& parameterText, const std::string& includeName,
                                   int lineIndex, bool& rejected) {
  ParameterTokenizer tokens(parameterText);
  ParameterToken token = tokens.Next();
  while (token.Kind != TokenKind::End) {
    Parameters.push_back(token.Text);
    token = tokens.Next();
    const bool comma = token.Kind == TokenKind::Character && token.Text == ",";
    if (!comma && token.Kind != TokenKind::End) {
      job_->Out.WriteLine(FormatMessage(PM::InvalidParameterList,
                                        {includeName, std::to_string(lineIndex), parameterText}));
      rejected = true;
      return;
    }
    if (comma) token = tokens.Next();
  }
}

// The body lines up to ".endmacro". The end and nested-definition tests look at the line before
// its comment is removed.
void TMacrosObject::ReadBody(const std::string& includeName, std::vector<std::string>& lines,
                             int& index, bool& rejected) {
  auto notTerminated = [&] {
    job_->Out.WriteLine(
        FormatMessage(PM::MacroNotTerminated, {includeName, std::to_string(index), Name}));
    rejected = true;
  };
  while (true) {
    if (index >= static_cast<int>(lines.size())) return notTerminated();
    const std::string trimmed = Trim(lines[index]);
    if (trimmed == ".endmacro") return;
    if (Contains(trimmed, ".macro")) return notTerminated();
    lines[index] = RemoveComment(lines[index]);
    AddRow(includeName, std::to_string(index), lines[index], "#", "#", "#", "#", "#");
    ++index;
  }
}

void TMacrosObject::Reset() {
  Clear();
  Name.clear();
  Parameters.clear();
  generatedLabels_.clear();
  labelPlaces_.clear();
}

void TMacrosObject::Assign(const TMacrosObject& other) {
  Reset();
  Name = other.Name;
  Parameters.insert(Parameters.end(), other.Parameters.begin(), other.Parameters.end());
  ReplaceRows(other.Rows());
  generatedLabels_ = other.generatedLabels_;
  labelPlaces_ = other.labelPlaces_;
}

int TMacrosObject::Expand(std::vector<std::string>& arguments, std::string_view callFile,
                          std::string_view callLine) {
  if (arguments.empty()) return 0;
  if (arguments.size() != Parameters.size()) {
    job_->Out.WriteLine(FormatMessage(PM::WrongArgumentCount, {callFile, callLine}));
    return 1;
  }
  for (size_t i = 0; i < Parameters.size(); ++i) {
    arguments[i] = " " + arguments[i] + " ";
    SubstituteParameter(Parameters[i], arguments[i]);
  }
  return 0;
}

namespace {

bool MayPrecedeParameter(char c) {
  return c == ',' || c == '\t' || c == ' ';
}
bool MayFollowParameter(char c) {
  return c == ',' || c == '\r' || c == '\n' || c == '\t' || c == ' ';
}

bool HasLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Where an occurrence at either end of a searched text stands free.
struct TextEnds {
  bool startCounts;  // an occurrence may begin at the start
  bool endCounts;    // an occurrence may end at the end
};

// Replaces each free-standing occurrence of `parameter` in `text` by `argument`, resuming
// behind the inserted argument or behind an occurrence left alone. True when something was
// replaced.
bool ReplaceFreeStanding(std::string& text, std::string_view parameter, std::string_view argument,
                         TextEnds ends) {
  bool changed = false;
  size_t start = 0;
  for (size_t at = text.find(parameter); at != std::string::npos;
       at = text.find(parameter, start)) {
    const size_t end = at + parameter.size();
    const bool freeStanding = (at == 0 ? ends.startCounts : MayPrecedeParameter(text[at - 1])) &&
                              (end == text.size() ? ends.endCounts : MayFollowParameter(text[end]));
    if (freeStanding) {
      text.replace(at, parameter.size(), argument);
      start = at + argument.size();
      changed = true;
    } else {
      start = end;
    }
  }
  return changed;
}

}  // namespace

// Note [parameter search]
// The body's texts are searched as one text, each row followed by CR LF, so a parameter that
// begins a row other than the first (preceded by LF) is not free-standing, and one that ends a
// row (followed by CR) is. When neither the parameter nor the argument holds a CR or LF, no
// occurrence spans two rows and no replacement adds a line end, so each row can be searched
// on its own with those two rules, without joining the body and splitting it again.
void TMacrosObject::SubstituteParameter(const std::string& parameter, const std::string& argument) {
  if (parameter.empty()) return;
  if (HasLineEnd(parameter) || HasLineEnd(argument)) {
    SubstituteParameterInJoinedBody(parameter, argument);
    return;
  }
  for (int row = 0; row < RowCount(); ++row) {
    const std::string_view text = Cell(row, ColText);
    if (text.find(parameter) == std::string_view::npos) continue;
    std::string changed(text);
    // A row's text is followed by CR LF: its end counts; its start only in the first row.
    if (ReplaceFreeStanding(changed, parameter, argument, TextEnds{row == 0, true})) {
      SetItem(row, ColText, std::move(changed));
    }
  }
}

// The search of Note [parameter search] on the joined text itself, for the rare parameter or
// argument with a line end in it (a parameter written with #13#10).
void TMacrosObject::SubstituteParameterInJoinedBody(const std::string& parameter,
                                                    const std::string& argument) {
  std::string text;
  for (int row = 0; row < RowCount(); ++row) {
    text += Cell(row, ColText);
    text += "\r\n";
  }
  if (!ReplaceFreeStanding(text, parameter, argument, TextEnds{true, false})) return;
  // Back into the rows at the line ends. Only a parameter name spanning a line end can join
  // two rows, and the rows left over then stay empty.
  size_t pieceStart = 0;
  for (int row = 0; row < RowCount(); ++row) {
    const size_t pieceEnd = std::min(text.find("\r\n", pieceStart), text.size());
    const bool lastRow = row + 1 == RowCount();
    std::string piece =
        lastRow ? text.substr(pieceStart) : text.substr(pieceStart, pieceEnd - pieceStart);
    if (lastRow && piece.size() >= 2 && piece.compare(piece.size() - 2, 2, "\r\n") == 0) {
      piece.resize(piece.size() - 2);
    }
    SetItem(row, ColText, std::move(piece));
    pieceStart = std::min(pieceEnd + 2, text.size());
  }
}

void TMacrosObject::ReadDefine(const std::string& includeName, std::vector<std::string>& lines,
                               DefineList& defines, int& index) {
  ReadIncludedDefine(lines[index], includeName, index, defines, job_->Out);
}

void TMacrosObject::RenewGeneratedLabels() {
  std::vector<std::string> freshNames;
  freshNames.reserve(generatedLabels_.size());
  for (size_t i = 0; i < generatedLabels_.size(); ++i) {
    freshNames.push_back(job_->LabelNames.NewLabel());
  }
  ReplaceLabelPlaces(freshNames);
  generatedLabels_ = std::move(freshNames);
}
