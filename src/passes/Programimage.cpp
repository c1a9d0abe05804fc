#include "passes/Programimage.h"

#include <string_view>

#include "driver/Compilerobject.h"
#include "image/Imageheader.h"
#include "isa/Mq71r04_asmparserobject.h"

namespace {

constexpr int64_t kChecksumSize = 4;
// A jump to address 0: "100000" is the jmp opcode, followed by ten address bits.
constexpr std::string_view kJumpOpcode = "100000";
constexpr std::string_view kJumpToZero = "1000000000000000b";

void AppendLittleEndian(std::string& bytes, uint32_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// An instruction word as the encoder writes it, sixteen binary digits and "b", is read here
// directly; false for any other text. The general number reading comes to the same after trying
// the other notations, and nearly every row holds such a text.
bool ReadEncodedWord(std::string_view text, uint16_t& word) {
  if (text.size() != 17 || text.back() != 'b') return false;
  uint32_t value = 0;
  for (const char c : text.substr(0, 16)) {
    if (c != '0' && c != '1') return false;
    value = 2 * value + static_cast<uint32_t>(c - '0');
  }
  word = static_cast<uint16_t>(value);
  return true;
}

// A word text as the encoder left it ("0011...b" or decimal digits); a text that is no number
// becomes FFFF hexadecimal.
uint16_t WordOf(const TMq71R04_ASMParserObject& parser, std::string_view text) {
  uint16_t word = 0;
  if (ReadEncodedWord(text, word)) return word;
  return static_cast<uint16_t>(static_cast<uint32_t>(parser.ParseNumber(text)) & 0xffff);
}

void WriteHeader(std::string& bytes, const TMq71R04CompilerObject& job) {
  int64_t size = 2 * static_cast<int64_t>(job.WorkTable->RowCount());
  if (!job.ChecksumLabel.empty()) size += kChecksumSize;
  bytes = ImageHeader(static_cast<uint16_t>(size & 0xffff));
}

// The words are written into room made for all of them at once, low byte first.
void WriteProgramWords(std::string& bytes, const TWorkTableObject& table,
                       const TMq71R04_ASMParserObject& parser) {
  const size_t start = bytes.size();
  bytes.resize(start + 2 * table.Rows().size());
  char* to = bytes.data() + start;
  for (const TWorkTableObject::Row& row : table.Rows()) {
    const uint16_t word = WordOf(parser, row[ColCode]);
    *to++ = static_cast<char>(word & 0xff);
    *to++ = static_cast<char>(word >> 8);
  }
}

// The sum of the program words' bytes, each unsigned, in 32 bits (wrapping).
uint32_t ByteSum(std::string_view bytes) {
  uint32_t sum = 0;
  for (char byte : bytes) sum += static_cast<unsigned char>(byte);
  return sum;
}

// Memory after the program jumps to the malfunction handler, or to address 0 when there is none.
// A handler that was named but not found leaves no address, and then gets the jump to 0 as well.
std::string FillWordText(const TMq71R04CompilerObject& job) {
  if (job.MalfunctionHandler.empty() || job.MalfunctionHandlerAddress.empty()) {
    return std::string(kJumpToZero);
  }
  return std::string(kJumpOpcode) + job.MalfunctionHandlerAddress + "b";
}

int32_t AddWrapping(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

ProgramImage BuildProgramImage(TMq71R04CompilerObject& job) {
  ProgramImage image;
  const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job.Out);
  // Room for the header, the words and the checksum at once: the image is allocated once.
  image.Head.reserve(ImageHeaderSize + 2 * static_cast<size_t>(job.WorkTable->RowCount()) +
                     kChecksumSize);
  if (!job.RawImage) WriteHeader(image.Head, job);
  const size_t codeStart = image.Head.size();
  WriteProgramWords(image.Head, *job.WorkTable, parser);
  if (!job.ChecksumLabel.empty()) {
    image.Checksum = ByteSum(std::string_view(image.Head).substr(codeStart));
    AppendLittleEndian(image.Head, image.Checksum, kChecksumSize);
  }
  if (job.ImageSizeLimit != 0) {
    image.FillWord = WordOf(parser, FillWordText(job));
    if (!job.RawImage) job.ImageSizeLimit = AddWrapping(job.ImageSizeLimit, ImageHeaderSize);
    // Whole words up to the limit: an odd distance ends one byte beyond it; never shorter.
    const int64_t missing = static_cast<int64_t>(job.ImageSizeLimit) - image.Size();
    if (missing > 0) image.FillWordCount = (missing + 1) / 2;
  }
  return image;
}
