#include <string>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "worktable/Textutils.h"

// Encoding: every row becomes its machine word, while a one-line trace shows the row being
// translated. The trace goes through the buffered sink like every message (never flushed per row),
// and it is printed in every run, whatever the options.

namespace {

constexpr std::string_view kBegin = "Begin translated.";
constexpr std::string_view kTrace = "[translate line] %s(%s)";
constexpr std::string_view kEnd = "\r\nEnd translated ( total line %i).";

// Each row's trace first steps back over, blanks and steps back over ten columns more than its own
// text, so on a console it overwrites the trace of the row before; a message the encoder prints
// for the row follows the trace text on the same line.
void WriteTrace(OutputSink& out, const std::string& trace) {
  const size_t width = trace.size() + 10;
  std::string text;
  text.reserve(3 * width + trace.size());
  text.append(width, '\b').append(width, ' ').append(width, '\b').append(trace);
  out.Write(text);
}

}  // namespace

int TMq71R04CompilerObject::Encode() {
  Out.WriteLine(kBegin);
  int rowsTranslated = 0;
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    ++rowsTranslated;
    WriteTrace(
        Out, FormatMessage(kTrace, {WorkTable->Cell(row, ColFile), WorkTable->Cell(row, ColLine)}));
    TMq71R04_ASMParserObject parser(Out);
    if (parser.TranslateLine(row, *WorkTable) != 0) failed = true;
  }
  Out.WriteLine(FormatMessage(kEnd, {std::to_string(rowsTranslated)}));
  return failed ? 1 : 0;
}
