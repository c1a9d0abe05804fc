#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// An image file as mq71asm writes it: a 512-byte header whose bytes 2 and 3 hold the size field
// (the bytes of the program and its checksum, low 16 bits), then the 16-bit little-endian words
// of the program, the checksum and the fill words. A raw image has no header.
struct LoadedImage {
  // The layout described here; a different layout would get the next number.
  static constexpr int FormatVersion = 1;

  bool HasHeader = false;
  uint16_t SizeField = 0;
  // Every header byte outside the size field is zero, as mq71asm writes it.
  bool HeaderIsClean = true;
  // Everything after the header; an odd last byte is padded with a zero byte.
  std::vector<uint16_t> Words;
  bool OddLength = false;
};

// Reads and checks an image's bytes; throws ImageError for an empty file, a file shorter than
// the header, or a size field that reaches beyond the file's end.
LoadedImage ReadImage(std::string_view bytes, bool rawInput);
