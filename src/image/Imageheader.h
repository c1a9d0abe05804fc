#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The header in front of an image's words: 512 bytes, all zero but the size field at bytes 2
// and 3, the low 16 bits of the byte count of the program and its checksum, little-endian.
inline constexpr size_t ImageHeaderSize = 512;
inline constexpr size_t SizeFieldOffset = 2;

std::string ImageHeader(uint16_t sizeField);
