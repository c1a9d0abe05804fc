#include <string>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "support/Textutils.h"

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
// for the row follows the trace text on the same line.
//
// The trace is kept from row to row: consecutive rows of one file usually have line numbers of
// the same length, and then their traces differ only in the line number, which is all that is
// rewritten, in place.
class TraceWriter {
 public:
  void Write(OutputSink& out, std::string_view file, std::string_view line) {
    const size_t width = kTraceHead.size() + file.size() + 1 + line.size() + 1 + 10;
    if (width != width_ || file != file_) {
      trace_.assign(width, '\b').append(width, ' ').append(width, '\b');
      trace_.append(kTraceHead).append(file).append("(");
      width_ = width;
      file_ = file;
      lineStart_ = trace_.size();
      trace_.append(line).append(")");
    } else {
      // The same file and width: a line number of the same length, a few characters copied
      // without a library call.
      MoveShortText(trace_.data() + lineStart_, line.data(), line.size());
    }
    out.Trace(trace_);
  }

 private:
  std::string trace_;
  std::string file_;
  size_t width_ = 0;
  size_t lineStart_ = 0;  // where the line number begins in trace_
};

}  // namespace

int TMq71R04CompilerObject::Encode() {
  Out.TraceLine(kBegin);
  // One object serves every row: encoding keeps no state between rows.
  TMq71R04_ASMParserObject parser(Out);
  TraceWriter trace;
  int rowsTranslated = 0;
  bool failed = false;
  for (int row = 0; row < WorkTable->RowCount(); ++row) {
    ++rowsTranslated;
    // Read in place: the encoder writes only the code and operand cells.
    const TWorkTableObject::Row& cells = WorkTable->Rows()[static_cast<size_t>(row)];
    trace.Write(Out, cells[ColFile], cells[ColLine]);
    Out.SetMacroCall(CallOf(cells));
    if (parser.TranslateLine(row, *WorkTable) != 0) failed = true;
  }
  Out.SetMacroCall(nullptr);
  Out.TraceLine(FormatMessage(kEnd, {std::to_string(rowsTranslated)}));
  return failed ? 1 : 0;
}
