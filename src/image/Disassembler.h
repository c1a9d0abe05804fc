#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "image/Imagereader.h"

struct Disassembly {
  std::string Source;
  // What the source cannot rebuild, for an image that mq71asm does not write; also noted in the
  // source's head.
  std::vector<std::string> Warnings;
};

// Source that mq71asm assembles back into `image`, byte for byte, with the options that its head
// names (Note [disassembly]); every line shows its word's address and value, so that the source
// reads as a listing too.
Disassembly DisassembleImage(const LoadedImage& image, std::string_view imageName);
