#include "support/Diagnostic.h"

#include <gtest/gtest.h>

#include "support/Outputsink.h"

namespace {

struct RenderCase {
  MessageForm form;
  SourcePlace place;
  std::string native;
  std::string gnu;
};

// Every native head the translator prints, and the GNU frame of the same message.
TEST(Diagnostic, NativeAndGnuFramesOfEveryHead) {
  using enum HeadSpacing;
  const RenderCase cases[] = {
      {{Stage::Preprocessor, Severity::Error, Standard, "Cannot open file %s"},
       SourcePlace::At("m.asm", 4),
       "[preprocessor error] m.asm(4): Cannot open file x.inc",
       "m.asm:5: error: Cannot open file x.inc\n"},
      {{Stage::Preprocessor, Severity::Error, NoBlank, "Macro %s."},
       SourcePlace::At("lib.inc", "12"),
       "[preprocessor error]lib.inc(12): Macro x.inc.",
       "lib.inc:13: error: Macro x.inc.\n"},
      {{Stage::Compiler, Severity::Warning, Standard, "Data %s."},
       SourcePlace::At("a b.asm", "0"),
       "[compiler warning] a b.asm(0): Data x.inc.",
       "a b.asm:1: warning: Data x.inc.\n"},
      {{Stage::Compiler, Severity::Error, NoColon, "Bad %s"},
       SourcePlace::At("m.asm", "9"),
       "[compiler error] m.asm(9) Bad x.inc",
       "m.asm:10: error: Bad x.inc\n"},
      {{Stage::Compiler, Severity::Error, NoBlank, "Odd."},
       SourcePlace::At("m.asm", "x"),
       "[compiler error]m.asm(x): Odd.",
       "m.asm:x: error: Odd.\n"},
      {{Stage::Compiler, Severity::Warning, Standard, "No %s."},
       SourcePlace::Nowhere(),
       "[compiler warning] : No x.inc.",
       "mq71: warning: No x.inc.\n"},
      {{Stage::CommandLine, Severity::Error, Standard, "Invalid source file \"%s\""},
       SourcePlace::Nowhere(),
       "Invalid source file \"x.inc\"",
       "mq71: error: Invalid source file \"x.inc\"\n"},
  };
  for (const RenderCase& c : cases) {
    const Diagnostic diagnostic = Diagnostic::Of(c.form, c.place, {"x.inc"});
    EXPECT_EQ(RenderNative(diagnostic), c.native);
    EXPECT_EQ(RenderGnu(diagnostic, "mq71"), c.gnu);
  }
}

// The forms read from native patterns render back to the very same line.
TEST(Diagnostic, NativePatternsRenderAsWritten) {
  constexpr MessageForm forms[] = {
      NativeMessage("[preprocessor error] %s(%i): Cannot open file %s"),
      NativeMessage("[preprocessor error]%s(%s): Macros contain invalid label \"%s\"."),
      NativeMessage("[compiler error] %s(%s) Label \"%s\" not found."),
      NativeMessage("[compiler warning] %s(%s): Data is not accessible."),
      NativeMessage("[compiler error]%s(%s): Multiple declaration of label \"%s\"."),
      NativeMessage("[compiler warning] : MalfunctionHandler is not defined."),
  };
  const std::string expected[] = {
      "[preprocessor error] f.asm(7): Cannot open file x",
      "[preprocessor error]f.asm(7): Macros contain invalid label \"x\".",
      "[compiler error] f.asm(7) Label \"x\" not found.",
      "[compiler warning] f.asm(7): Data is not accessible.",
      "[compiler error]f.asm(7): Multiple declaration of label \"x\".",
      "[compiler warning] : MalfunctionHandler is not defined.",
  };
  for (size_t i = 0; i < std::size(forms); ++i) {
    const SourcePlace place = forms[i].Text.starts_with("Malfunction")
                                  ? SourcePlace::Nowhere()
                                  : SourcePlace::At("f.asm", 7);
    EXPECT_EQ(RenderNative(Diagnostic::Of(forms[i], place, {"x"})), expected[i]);
  }
}

TEST(Diagnostic, GnuFrameAddsANoteOnTheMacroCall) {
  Diagnostic diagnostic = Diagnostic::Of(
      {Stage::Compiler, Severity::Error, HeadSpacing::Standard, "Wrong register name."},
      SourcePlace::At("lib.inc", "3"));
  diagnostic.CallPlace = SourcePlace::At("main.asm", "41");
  diagnostic.MacroName = "delay";
  EXPECT_EQ(RenderGnu(diagnostic, "mq71"),
            "lib.inc:4: error: Wrong register name.\n"
            "main.asm:42: note: in expansion of macro delay\n");
  // The native line stays as it always was.
  EXPECT_EQ(RenderNative(diagnostic), "[compiler error] lib.inc(3): Wrong register name.");
}

TEST(OutputSink, ReportsNativeLinesOrGnuLinesApart) {
  const Diagnostic error = Diagnostic::Of(
      {Stage::Compiler, Severity::Error, HeadSpacing::Standard, "E."}, SourcePlace::At("m", "0"));
  const Diagnostic warning = Diagnostic::Of(
      {Stage::Compiler, Severity::Warning, HeadSpacing::Standard, "W."}, SourcePlace::Nowhere());
  OutputSink native;
  native.Report(error);
  native.Trace("trace ");
  native.Report(warning);
  EXPECT_EQ(native.Captured(), "[compiler error] m(0): E.\r\ntrace [compiler warning] : W.\r\n");
  EXPECT_EQ(native.ErrorCount(), 1);

  OutputSink gnu;
  gnu.UseGnuDiagnostics(nullptr, "mq71");
  gnu.HideTrace();
  gnu.Report(error);
  gnu.Trace("trace ");
  gnu.Report(warning);
  EXPECT_EQ(gnu.Captured(), "");
  EXPECT_EQ(gnu.CapturedErrors(), "m:1: error: E.\nmq71: warning: W.\n");
}

// The macro call set on the sink is noted under every diagnostic with a place, in the GNU frame
// only, until it is cleared; a call the diagnostic names itself wins.
TEST(OutputSink, MacroCallSetOnTheSinkIsNotedUnderPlacedDiagnostics) {
  const MacroCallPlace call{SourcePlace::At("main.asm", "4"), "bump"};
  const Diagnostic placed = Diagnostic::Of(
      {Stage::Compiler, Severity::Error, HeadSpacing::Standard, "E."}, SourcePlace::At("m", "2"));
  const Diagnostic unplaced = Diagnostic::Of(
      {Stage::Compiler, Severity::Warning, HeadSpacing::Standard, "W."}, SourcePlace::Nowhere());
  Diagnostic named = placed;
  named.CallPlace = SourcePlace::At("other.asm", "0");
  named.MacroName = "own";
  for (const bool gnuFrame : {false, true}) {
    OutputSink out;
    if (gnuFrame) out.UseGnuDiagnostics(nullptr, "mq71");
    out.SetMacroCall(&call);
    for (const Diagnostic& diagnostic : {placed, unplaced, named}) out.Report(diagnostic);
    out.SetMacroCall(nullptr);
    out.Report(placed);
    if (!gnuFrame) {
      EXPECT_EQ(out.Captured(),
                "[compiler error] m(2): E.\r\n[compiler warning] : W.\r\n"
                "[compiler error] m(2): E.\r\n[compiler error] m(2): E.\r\n");
      continue;
    }
    EXPECT_EQ(out.CapturedErrors(),
              "m:3: error: E.\nmain.asm:5: note: in expansion of macro bump\n"
              "mq71: warning: W.\n"
              "m:3: error: E.\nother.asm:1: note: in expansion of macro own\n"
              "m:3: error: E.\n");
  }
}

}  // namespace
