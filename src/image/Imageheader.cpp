#include "image/Imageheader.h"

std::string ImageHeader(uint16_t sizeField) {
  std::string header(ImageHeaderSize, '\0');
  header[SizeFieldOffset] = static_cast<char>(sizeField & 0xff);
  header[SizeFieldOffset + 1] = static_cast<char>(sizeField >> 8);
  return header;
}
