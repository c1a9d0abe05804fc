#include "image/Imagereader.h"

#include <string>

#include "image/Imageerror.h"
#include "image/Imageheader.h"

namespace {

uint16_t LittleEndianWord(std::string_view bytes, size_t at) {
  const auto low = static_cast<unsigned char>(bytes[at]);
  const auto high = at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
  return static_cast<uint16_t>(low | (high << 8));
}

bool IsClean(std::string_view header) {
  for (size_t at = 0; at < header.size(); ++at) {
    const bool sizeField = at == SizeFieldOffset || at == SizeFieldOffset + 1;
    if (!sizeField && header[at] != '\0') return false;
  }
  return true;
}

std::vector<uint16_t> WordsOf(std::string_view bytes) {
  std::vector<uint16_t> words;
  words.reserve((bytes.size() + 1) / 2);
  for (size_t at = 0; at < bytes.size(); at += 2) words.push_back(LittleEndianWord(bytes, at));
  return words;
}

}  // namespace

LoadedImage ReadImage(std::string_view bytes, bool rawInput) {
  if (bytes.empty()) throw ImageError("the file is empty");
  LoadedImage image;
  if (!rawInput) {
    if (bytes.size() < ImageHeaderSize) {
      throw ImageError("the file has " + std::to_string(bytes.size()) +
                       " bytes, fewer than the 512-byte header (--raw-input reads an image "
                       "without header)");
    }
    image.HasHeader = true;
    image.SizeField = LittleEndianWord(bytes, SizeFieldOffset);
    image.HeaderIsClean = IsClean(bytes.substr(0, ImageHeaderSize));
    bytes.remove_prefix(ImageHeaderSize);
    if (image.SizeField > bytes.size()) {
      throw ImageError("the header's size field says " + std::to_string(image.SizeField) +
                       " bytes, but " + std::to_string(bytes.size()) + " bytes follow the header");
    }
  }
  image.Words = WordsOf(bytes);
  image.OddLength = bytes.size() % 2 != 0;
  return image;
}
