#include <string>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "worktable/Textutils.h"

// Encoding: every row becomes its machine word, while a one-line trace shows the row being
// translated. The trace goes through the buffered sink like every message (never flushed per row),
// and it is printed in every run, whatever the options.

namespace {

constexpr std::string_view kBegin = "Begin translated.";
// The trace "[translate line] %s(%s)" with the row's file and line. It is printed for every row,
// so it is put together directly rather than through the message formatter.
constexpr std::string_view kTraceHead = "[translate line] ";
constexpr std::string_view kEnd = "\r\nEnd translated ( total line %i).";

// Each row's trace first steps back over, blanks and steps back over ten columns more than its own
// text, so on a console it overwrites the trace of the row before; a message the encoder prints
// for the row follows the trace text on the same line. `trace` is the caller's, kept from row to
// row so that its storage is reused.
void WriteTrace(OutputSink& out, std::string& trace, std::string_view file, std::string_view line) {
  const size_t width = kTraceHead.size() + file.size() + 1 + line.size() + 1 + 10;
  trace.assign(width, '\b').append(width, ' ').append(width, '\b');
  trace.append(kTraceHead).append(file).append("(").append(line).append(")");
  out.Write(trace);
}

}  // namespace

int TMq71R04CompilerObject::Encode() {
  Out.WriteLine(kBegin);
  // One object serves every row: encoding keeps no state between rows.
  TMq71R04_ASMParserObject parser(Out);
  std::string trace;
  int rowsTranslated = 0;
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    ++rowsTranslated;
    WriteTrace(Out, trace, WorkTable->Cell(row, ColFile), WorkTable->Cell(row, ColLine));
    if (parser.TranslateLine(row, *WorkTable) != 0) failed = true;
  }
  Out.WriteLine(FormatMessage(kEnd, {std::to_string(rowsTranslated)}));
  return failed ? 1 : 0;
}
