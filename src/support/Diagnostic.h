#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// A message about a fault, in its parts: the stages say what and where, a renderer frames it.
// The native frame is the translator's fixed bracketed line; the GNU frame is what editors and
// build tools read.

enum class Severity { Error, Warning };
enum class Stage { CommandLine, Preprocessor, Compiler };

// How the bracketed native head is spaced. A few messages differ in it, and scripts match them
// letter for letter.
enum class HeadSpacing {
  Standard,  // "[stage kind] file(line): "
  NoBlank,   // "[stage kind]file(line): "
  NoColon,   // "[stage kind] file(line) "
};

// One kind of message. Its text's "%s" and "%i" are filled in order with the details.
struct MessageForm {
  Stage From;
  Severity Kind;
  HeadSpacing Spacing;
  std::string_view Text;
};

// The form of a message written as the translator prints it, "[compiler error] %s(%s): Text",
// with "%s(%s)" (or "%s(%i)") for the file and line, or " : " for a message about the whole
// program. Read when the program is compiled, so that every message is written once, letter for
// letter as users see it, and a pattern of another shape does not compile.
consteval MessageForm NativeMessage(std::string_view pattern) {
  struct Head {
    std::string_view Text;
    Stage From;
    Severity Kind;
  };
  constexpr Head heads[] = {{"[preprocessor error]", Stage::Preprocessor, Severity::Error},
                            {"[compiler error]", Stage::Compiler, Severity::Error},
                            {"[compiler warning]", Stage::Compiler, Severity::Warning}};
  for (const Head& head : heads) {
    if (!pattern.starts_with(head.Text)) continue;
    std::string_view rest = pattern.substr(head.Text.size());
    if (rest.starts_with(" : "))
      return {head.From, head.Kind, HeadSpacing::Standard, rest.substr(3)};
    HeadSpacing spacing = HeadSpacing::NoBlank;
    if (rest.starts_with(' ')) {
      spacing = HeadSpacing::Standard;
      rest.remove_prefix(1);
    }
    if (!rest.starts_with("%s(%s)") && !rest.starts_with("%s(%i)")) break;
    rest.remove_prefix(6);
    if (rest.starts_with(": ")) return {head.From, head.Kind, spacing, rest.substr(2)};
    if (spacing == HeadSpacing::Standard && rest.starts_with(' ')) {
      return {head.From, head.Kind, HeadSpacing::NoColon, rest.substr(1)};
    }
    break;
  }
  throw "not a message pattern";  // reached only when compiling: the pattern does not compile
}

// A message of the command line: a plain sentence.
consteval MessageForm CommandLineMessage(std::string_view text) {
  return {Stage::CommandLine, Severity::Error, HeadSpacing::Standard, text};
}

// Where a message points: a file and a 0-based line number as the work table holds it, or
// nowhere (a message about the whole program or the command line).
struct SourcePlace {
  std::string File;
  std::string Line;
  bool Known = false;

  static SourcePlace At(std::string_view file, std::string_view line) {
    return {std::string(file), std::string(line), true};
  }
  static SourcePlace At(std::string_view file, int line) { return At(file, std::to_string(line)); }
  static SourcePlace Nowhere() { return {}; }
};

// A macro call: where it stands and the macro it names. Statements of the expansion carry the
// place of the macro's body; the call is what a user looks for first.
struct MacroCallPlace {
  SourcePlace Call;
  std::string MacroName;
};

struct Diagnostic {
  Stage From = Stage::Compiler;
  Severity Kind = Severity::Error;
  HeadSpacing Spacing = HeadSpacing::Standard;
  SourcePlace Place;
  std::string Text;
  // For a statement a macro call inserted: the call's place and the macro's name.
  SourcePlace CallPlace;
  std::string MacroName;

  static Diagnostic Of(const MessageForm& form, SourcePlace place,
                       std::initializer_list<std::string_view> details = {});
};

// The native line, without its line end: "[compiler error] main.asm(5): Wrong register name."
std::string RenderNative(const Diagnostic& diagnostic);
// GNU lines, each ending in LF: "main.asm:6: error: Wrong register name.", and a note on the
// macro call when the message comes from an expansion. Messages without a place are headed
// by the program's name: "mq71: error: ...".
std::string RenderGnu(const Diagnostic& diagnostic, std::string_view program);
