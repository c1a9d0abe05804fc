#include "support/Outputsink.h"

OutputSink::OutputSink(std::FILE* target) : target_(target) {
  if (target_ != nullptr) buffer_.reserve(FlushThreshold);
}

OutputSink::~OutputSink() {
  Flush();
}

void OutputSink::WriteOut(std::string_view text) {
  Flush();
  // A text longer than the whole buffer goes out at once rather than growing the buffer.
  if (text.size() > FlushThreshold) return Put(text);
  buffer_.append(text);
}

void OutputSink::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void OutputSink::Flush() {
  if (target_ == nullptr) return;
  Put(buffer_);
  buffer_.clear();
  if (std::fflush(target_) != 0) writeFailed_ = true;
}

void OutputSink::Put(std::string_view bytes) {
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), target_) != bytes.size()) {
    writeFailed_ = true;
  }
}

void OutputSink::Report(const Diagnostic& diagnostic) {
  if (diagnostic.Kind == Severity::Error) ++errorCount_;
  if (!gnuDiagnostics_) return WriteLine(RenderNative(diagnostic));
  std::string lines;
  if (macroCall_ != nullptr && diagnostic.Place.Known && !diagnostic.CallPlace.Known) {
    Diagnostic expanded = diagnostic;
    expanded.CallPlace = macroCall_->Call;
    expanded.MacroName = macroCall_->MacroName;
    lines = RenderGnu(expanded, program_);
  } else {
    lines = RenderGnu(diagnostic, program_);
  }
  if (errors_ == nullptr) {
    errorText_ += lines;
  } else if (std::fputs(lines.c_str(), errors_) == EOF) {
    writeFailed_ = true;
  }
}

void OutputSink::UseGnuDiagnostics(std::FILE* errors, std::string program) {
  gnuDiagnostics_ = true;
  errors_ = errors;
  program_ = std::move(program);
}
