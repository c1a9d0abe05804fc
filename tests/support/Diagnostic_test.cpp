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

}  // namespace
