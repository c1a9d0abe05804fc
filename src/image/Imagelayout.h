#pragma once

#include <cstddef>
#include <cstdint>

#include "image/Imagereader.h"

// What the words of an image are, as mq71asm lays them out: the program, a checksum, fill words,
// and whatever follows that mq71asm does not write.
//
// With a header the size field tells where the program and its checksum end. A raw image does not
// tell, so its end is read from the words: a trailing run of at least two equal fill words is the
// fill, and then the two words before are the checksum when they hold the byte sum of the words
// in front of them. Either reading rebuilds the same bytes.
struct ImageLayout {
  size_t ProgramWords = 0;
  bool HasChecksum = false;  // two words after the program: the byte sum of the program's words
  size_t FillWords = 0;      // after the checksum, all equal to FillWord
  uint16_t FillWord = 0;
  int FillTarget = 0;       // the address the fill words jump to
  size_t ForeignWords = 0;  // after the fill: words that mq71asm does not write

  size_t ChecksumAddress() const { return ProgramWords; }
  // The size field of a header for these words: the program and checksum bytes, low 16 bits.
  uint16_t SizeField() const;
};

ImageLayout AnalyseLayout(const LoadedImage& image);
