#pragma once

#include <cstdio>
#include <string>
#include <string_view>

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

  void Write(std::string_view text);
  // The text followed by CR LF.
  void WriteLine(std::string_view text);
  void Flush();
  // True once the stream refused any bytes.
  bool WriteFailed() const { return writeFailed_; }

  // Everything written so far, for a sink kept in memory.
  const std::string& Captured() const { return buffer_; }

  // The last message printed for a data row. A data fault repeated by the next rows of the
  // same directive is printed once; the memory lasts for the whole run.
  std::string LastDataMessage;

 private:
  void Put(std::string_view bytes);

  static constexpr size_t FlushThreshold = 1 << 18;
  std::FILE* target_ = nullptr;
  bool writeFailed_ = false;
  std::string buffer_;
};
