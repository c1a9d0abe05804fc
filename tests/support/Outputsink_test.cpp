#include "support/Outputsink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

// Everything written to a temporary file so far.
std::string FileContent(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string content;
  char block[4096];
  size_t count;
  while ((count = std::fread(block, 1, sizeof block, file)) > 0) content.append(block, count);
  return content;
}

// Texts of every size from empty to several times the buffer, mixed with lines: what reaches
// the stream is exactly what was written, in order, whichever texts fill the buffer.
TEST(OutputSink, BoundSinkPassesEveryTextThroughInOrder) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::string expected;
  {
    OutputSink sink(file);
    std::mt19937 random(5);
    for (int i = 0; i < 300; ++i) {
      const size_t size = random() % 4 == 0 ? random() % 100000 : random() % 300;
      const std::string text(size, static_cast<char>('a' + i % 26));
      if (i % 3 == 0) {
        sink.WriteLine(text);
        expected += text + "\r\n";
      } else {
        sink.Write(text);
        expected += text;
      }
    }
  }
  EXPECT_EQ(FileContent(file), expected);
  std::fclose(file);
}

TEST(OutputSink, FlushHandsOverEverythingWrittenSoFar) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  OutputSink sink(file);
  sink.WriteLine("first");
  sink.Write(std::string(70000, 'x'));
  sink.Write("tail");
  sink.Flush();
  EXPECT_EQ(FileContent(file), "first\r\n" + std::string(70000, 'x') + "tail");
  std::fclose(file);
}

TEST(OutputSink, UnboundSinkKeepsEverything) {
  OutputSink sink;
  sink.Write(std::string(100000, 'y'));
  sink.WriteLine("end");
  EXPECT_EQ(sink.Captured(), std::string(100000, 'y') + "end\r\n");
}

}  // namespace
