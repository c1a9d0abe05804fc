#include "image/Imagelayout.h"

#include <optional>
#include <span>

#include "isa/Instructiondecoder.h"

namespace {

constexpr size_t ChecksumWords = 2;
// A raw image's program may well end with a jump like the fill words; one such word is read as
// the program's own.
constexpr size_t ShortestRawFill = 2;

uint32_t ByteSum(std::span<const uint16_t> words) {
  uint32_t sum = 0;
  for (uint16_t word : words) sum += (word & 0xffu) + (word >> 8);
  return sum;
}

bool EndsWithChecksum(std::span<const uint16_t> words) {
  if (words.size() < ChecksumWords) return false;
  const size_t program = words.size() - ChecksumWords;
  const uint32_t stored = words[program] | (static_cast<uint32_t>(words[program + 1]) << 16);
  return stored == ByteSum(words.first(program));
}

// Fill words are jumps to the malfunction handler.
bool IsFillWord(uint16_t word) {
  const std::optional<DecodedInstruction> jump = DecodeWord(word);
  return jump && jump->Mnemonic == "jmp";
}

// Fill words jump to address 0 (no handler given, or one that is not defined), to a label of the
// program, or to the checksum's label.
bool HandlerCanBeNamed(const ImageLayout& layout) {
  const auto target = static_cast<size_t>(layout.FillTarget);
  return target == 0 || target < layout.ProgramWords ||
         (layout.HasChecksum && target == layout.ChecksumAddress());
}

// How many words at the end of `words` equal the last one.
size_t TrailingRun(std::span<const uint16_t> words) {
  size_t start = words.size();
  while (start > 0 && words[start - 1] == words.back()) --start;
  return words.size() - start;
}

// The program and its checksum in `words`, then `fillCount` fill words, when they are fill whose
// handler can be named.
bool TrySplit(ImageLayout& layout, std::span<const uint16_t> words, size_t fillCount) {
  layout = ImageLayout();
  const std::span<const uint16_t> program = words.first(words.size() - fillCount);
  layout.HasChecksum = EndsWithChecksum(program);
  layout.ProgramWords = program.size() - (layout.HasChecksum ? ChecksumWords : 0);
  if (fillCount == 0) return true;
  layout.FillWords = fillCount;
  layout.FillWord = words.back();
  layout.FillTarget = DecodeWord(layout.FillWord)->Operands[0].Value;
  return HandlerCanBeNamed(layout);
}

// The size field ends the program and checksum; all that follows must be fill.
ImageLayout HeadedLayout(const LoadedImage& image) {
  const std::span<const uint16_t> words(image.Words);
  const size_t sized = (image.SizeField + 1u) / 2;
  const size_t after = words.size() - sized;
  const bool fill =
      after > 0 && !image.OddLength && TrailingRun(words) >= after && IsFillWord(words.back());
  ImageLayout layout;
  if (fill && TrySplit(layout, words, after)) return layout;
  TrySplit(layout, words.first(sized), 0);
  layout.ForeignWords = after;
  return layout;
}

// The longest trailing run of equal fill words whose handler can be named, then the checksum.
ImageLayout RawLayout(const LoadedImage& image) {
  const std::span<const uint16_t> words(image.Words);
  const size_t run = TrailingRun(words);
  const bool fill = run >= ShortestRawFill && !image.OddLength && IsFillWord(words.back());
  ImageLayout layout;
  if (fill && TrySplit(layout, words, run)) return layout;
  TrySplit(layout, words, 0);
  return layout;
}

}  // namespace

uint16_t ImageLayout::SizeField() const {
  return static_cast<uint16_t>(2 * (ProgramWords + (HasChecksum ? ChecksumWords : 0)));
}

ImageLayout AnalyseLayout(const LoadedImage& image) {
  return image.HasHeader ? HeadedLayout(image) : RawLayout(image);
}
