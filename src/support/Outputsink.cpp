#include "support/Outputsink.h"

OutputSink::OutputSink(std::FILE* target) : target_(target) {
  if (target_ != nullptr) buffer_.reserve(FlushThreshold);
}

OutputSink::~OutputSink() {
  Flush();
}

void OutputSink::Write(std::string_view text) {
  if (target_ != nullptr && buffer_.size() + text.size() > FlushThreshold) {
    Flush();
    // A text longer than the whole buffer goes out at once rather than growing the buffer.
    if (text.size() > FlushThreshold) {
      std::fwrite(text.data(), 1, text.size(), target_);
      return;
    }
  }
  buffer_.append(text);
}

void OutputSink::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void OutputSink::Flush() {
  if (target_ == nullptr) return;
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), target_);
  buffer_.clear();
  std::fflush(target_);
}
