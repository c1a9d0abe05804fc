#pragma once

#include <cstdint>
#include <string>

class TMq71R04CompilerObject;

// The program image as the output stage writes it: the 512-byte header (unless raw), the program
// words, the checksum (with a checksum label) and the fill words up to the size limit. All values
// are little-endian.
//
// The fill words are kept as a count: a large size limit asks for far more of them than the
// program has words, and they are all the same.
struct ProgramImage {
  std::string Head;  // header, program words and checksum
  uint16_t FillWord = 0;
  int64_t FillWordCount = 0;
  uint32_t Checksum = 0;  // 0 without a checksum label

  int64_t Size() const { return static_cast<int64_t>(Head.size()) + 2 * FillWordCount; }
};

// Builds the image from the job's work table and options. With a header, 512 is added to the
// job's ImageSizeLimit in place (the limit counts from the first program word), wrapping as a
// signed 32-bit number.
ProgramImage BuildProgramImage(TMq71R04CompilerObject& job);
