#include "driver/Outputsink.h"

OutputSink::~OutputSink() {
  Flush();
}

void OutputSink::Write(std::string_view text) {
  buffer_.append(text);
  if (target_ != nullptr && buffer_.size() >= FlushThreshold) Flush();
}

void OutputSink::WriteLine(std::string_view text) {
  buffer_.append(text);
  buffer_.append("\r\n");
  if (target_ != nullptr && buffer_.size() >= FlushThreshold) Flush();
}

void OutputSink::Flush() {
  if (target_ == nullptr) return;
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), target_);
  buffer_.clear();
  std::fflush(target_);
}
