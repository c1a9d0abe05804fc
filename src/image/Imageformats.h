#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The words of an image as a writer gets them: program, checksum and fill words, and the size
// field that a header for them holds (only the bin format writes one).
struct ImageWords {
  std::span<const uint16_t> Words;
  uint16_t SizeField = 0;
};

// One output format: its name on the command line, the extension of its files, its writer, and
// who reads it.
struct ImageFormat {
  std::string_view Name;
  std::string_view Extension;
  std::string (*Write)(const ImageWords& image);
  std::string_view ReadBy;
};

// The formats in the order the help lists them.
std::span<const ImageFormat> ImageFormats();
// The format named `name` exactly, or null.
const ImageFormat* FindImageFormat(std::string_view name);
