#include "preprocessor/Macrosobject.h"

#include <algorithm>

#include "driver/Compilerobject.h"
#include "preprocessor/Freestanding.h"
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
    std::erase(text, '\t');
    SetItem(row, ColText, text);
  }
  MakeLabelsUnique();
  WriteDump(includeName);
  return rejected ? 1 : 0;
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
      job_->Out.Report(PM::InvalidParameterList, SourcePlace::At(includeName, lineIndex),
                       {parameterText});
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
    job_->Out.Report(PM::MacroNotTerminated, SourcePlace::At(includeName, index), {Name});
    rejected = true;
  };
  while (true) {
    if (index >= static_cast<int>(lines.size())) return notTerminated();
    const std::string_view trimmed = TrimmedView(lines[index]);
    if (trimmed == ".endmacro") return;
    if (Contains(trimmed, ".macro")) return notTerminated();
    lines[index] = std::string(CommentRemoved(lines[index]));
    AddRow(includeName, std::to_string(index), lines[index], "#", "#", "#", "#", "#");
    ++index;
  }
}

// The body goes to the include name, "_", the macro's name and ".txt". A name holding '/' or a
// NUL byte would put the file elsewhere or nowhere: such a dump counts as one that cannot be
// created.
void TMacrosObject::WriteDump(const std::string& includeName) {
  const std::string fileName = includeName + "_" + Name + ".txt";
  if (Name.find_first_of(std::string_view("/\0", 2)) != std::string::npos) {
    throw TranslatorError("Cannot create file " + fileName);
  }
  job_->Files.WriteDump(fileName, DumpText());
}

void TMacrosObject::Assign(const TMacrosObject& other) {
  Name = other.Name;
  Parameters = other.Parameters;
  ReplaceRows(other.Rows());
  generatedLabels_ = other.generatedLabels_;
  labelPlaces_ = other.labelPlaces_;
}

// Note [parameter search]
// The body's texts are searched as one text, each row followed by CR LF, and cut at the line
// ends again afterwards. So a parameter that begins a row other than the first (preceded by LF)
// is not free-standing, one that ends a row (followed by CR) is, and a parameter name spanning
// a line end (written with #13#10) joins two rows; the rows left over then stay empty.
int TMacrosObject::Expand(std::vector<std::string>& arguments, std::string_view callFile,
                          std::string_view callLine) {
  if (arguments.empty()) return 0;
  if (arguments.size() != Parameters.size()) {
    job_->Out.Report(PM::WrongArgumentCount, SourcePlace::At(callFile, callLine));
    return 1;
  }
  constexpr NameBoundaries kParameterBoundaries{",\t ", ",\r\n\t ", true, false};
  std::string body;
  for (const Row& row : Rows()) body.append(row[ColText]).append("\r\n");
  std::string replaced;
  bool changed = false;
  for (size_t i = 0; i < Parameters.size(); ++i) {
    arguments[i] = " " + arguments[i] + " ";
    if (ReplaceFreeStanding(body, Parameters[i], arguments[i], kParameterBoundaries,
                            std::string::npos, replaced) == Replaced::Something) {
      body.swap(replaced);
      changed = true;
    }
  }
  if (!changed) return 0;
  size_t pieceStart = 0;
  for (int row = 0; row < RowCount(); ++row) {
    const size_t pieceEnd = std::min(body.find("\r\n", pieceStart), body.size());
    std::string_view piece = std::string_view(body).substr(pieceStart);
    if (row + 1 < RowCount()) {
      piece = piece.substr(0, pieceEnd - pieceStart);
    } else if (piece.ends_with("\r\n")) {
      piece.remove_suffix(2);
    }
    SetItem(row, ColText, piece);
    pieceStart = std::min(pieceEnd + 2, body.size());
  }
  return 0;
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
