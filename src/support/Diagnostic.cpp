#include "support/Diagnostic.h"

#include <charconv>

#include "support/Textutils.h"

namespace {

std::string_view StageName(Stage from) {
  return from == Stage::Preprocessor ? "preprocessor" : "compiler";
}

std::string_view SeverityName(Severity kind) {
  return kind == Severity::Error ? "error" : "warning";
}

// The 1-based line an editor shows; a line text that is no number is shown as it stands.
std::string EditorLine(const std::string& line) {
  long number = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), number);
  if (error != std::errc() || end != line.data() + line.size()) return line;
  return std::to_string(number + 1);
}

std::string GnuPlace(const SourcePlace& place, std::string_view program) {
  if (!place.Known) return std::string(program) + ": ";
  return place.File + ":" + EditorLine(place.Line) + ": ";
}

}  // namespace

Diagnostic Diagnostic::Of(const MessageForm& form, SourcePlace place,
                          std::initializer_list<std::string_view> details) {
  Diagnostic diagnostic;
  diagnostic.From = form.From;
  diagnostic.Kind = form.Kind;
  diagnostic.Spacing = form.Spacing;
  diagnostic.Place = std::move(place);
  diagnostic.Text = FormatMessage(form.Text, details);
  return diagnostic;
}

std::string RenderNative(const Diagnostic& diagnostic) {
  if (diagnostic.From == Stage::CommandLine) return diagnostic.Text;
  std::string line = "[";
  line.append(StageName(diagnostic.From)).append(" ").append(SeverityName(diagnostic.Kind));
  line += "]";
  if (!diagnostic.Place.Known) return line + " : " + diagnostic.Text;
  if (diagnostic.Spacing != HeadSpacing::NoBlank) line += " ";
  line += diagnostic.Place.File + "(" + diagnostic.Place.Line + ")";
  line += diagnostic.Spacing == HeadSpacing::NoColon ? " " : ": ";
  return line + diagnostic.Text;
}

std::string RenderGnu(const Diagnostic& diagnostic, std::string_view program) {
  std::string lines = GnuPlace(diagnostic.Place, program);
  lines.append(SeverityName(diagnostic.Kind)).append(": ").append(diagnostic.Text) += '\n';
  if (diagnostic.CallPlace.Known) {
    lines += GnuPlace(diagnostic.CallPlace, program) + "note: in expansion of macro " +
             diagnostic.MacroName + "\n";
  }
  return lines;
}
