#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "support/Diagnostic.h"

// The one channel for everything the translator prints. Bound to a stream it buffers and
// writes in blocks (the encoding trace alone is a few hundred bytes per row); the buffer is
// reserved once and never grows, so a long trace touches no new memory. Unbound it keeps the
// text, so tests can read exactly what a run would have printed. A stream that refuses bytes
// is remembered, so that the run can say so and fail rather than lose its messages silently.
class OutputSink {
 public:
  OutputSink() = default;  // in memory
  explicit OutputSink(std::FILE* target);
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;
  ~OutputSink();

  // Every trace line comes through here: the common case, room in the buffer, is inline.
  void Write(std::string_view text) {
    if (target_ != nullptr && buffer_.size() + text.size() > FlushThreshold) return WriteOut(text);
    buffer_.append(text);
  }
  // The text followed by CR LF.
  void WriteLine(std::string_view text);
  // A diagnostic: its native line on this sink, or, once GNU diagnostics are chosen, its GNU
  // lines on their own stream (in memory when that stream is null).
  void Report(const Diagnostic& diagnostic);
  void Report(const MessageForm& form, SourcePlace place,
              std::initializer_list<std::string_view> details = {}) {
    Report(Diagnostic::Of(form, std::move(place), details));
  }
  void UseGnuDiagnostics(std::FILE* errors, std::string program);
  // The macro call the statement being worked on came from, or null. Stages that work statement
  // by statement set it, so that a diagnostic raised deeper down (in the instruction set, say)
  // names the call; it is attached to every diagnostic with a place until it is set again.
  void SetMacroCall(const MacroCallPlace* call) { macroCall_ = call; }
  // The translation trace; dropped when the trace is hidden.
  void Trace(std::string_view text) {
    if (traceShown_) Write(text);
  }
  void TraceLine(std::string_view text) {
    if (traceShown_) WriteLine(text);
  }
  void HideTrace() { traceShown_ = false; }
  void Flush();
  // True once the stream refused any bytes.
  bool WriteFailed() const { return writeFailed_; }

  // Everything written so far, for a sink kept in memory; and the GNU diagnostics kept in memory.
  const std::string& Captured() const { return buffer_; }
  const std::string& CapturedErrors() const { return errorText_; }
  // The number of errors reported so far.
  int ErrorCount() const { return errorCount_; }

  // The last message printed for a data row. A data fault repeated by the next rows of the
  // same directive is printed once; the memory lasts for the whole run.
  std::string LastDataMessage;

 private:
  void Put(std::string_view bytes);
  // Writes the buffer out, then `text` behind it.
  void WriteOut(std::string_view text);

  // Large enough that a long trace costs few writes, small enough that a short run touches
  // few pages of it.
  static constexpr size_t FlushThreshold = 1 << 16;
  std::FILE* target_ = nullptr;
  bool writeFailed_ = false;
  std::string buffer_;
  bool traceShown_ = true;
  bool gnuDiagnostics_ = false;
  std::FILE* errors_ = nullptr;
  std::string program_;
  std::string errorText_;
  int errorCount_ = 0;
  const MacroCallPlace* macroCall_ = nullptr;
};
