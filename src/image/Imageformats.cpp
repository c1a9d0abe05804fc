// The output formats: each one a small writer over the image's 16-bit words, listed in one table.

#include "image/Imageformats.h"

#include <array>

#include "image/Imageheader.h"
#include "support/Textutils.h"

namespace {

std::string LittleEndianBytes(std::span<const uint16_t> words) {
  std::string bytes;
  bytes.reserve(2 * words.size());
  for (uint16_t word : words) {
    bytes.push_back(static_cast<char>(word & 0xff));
    bytes.push_back(static_cast<char>(word >> 8));
  }
  return bytes;
}

// $readmemh: one word per line.
std::string WriteVmem(const ImageWords& image) {
  std::string text;
  for (uint16_t word : image.Words) text += HexDigits(word, 4) + "\n";
  return text;
}

// $readmemb: one word per line, bit 15 first.
std::string WriteVmemb(const ImageWords& image) {
  std::string text;
  for (uint16_t word : image.Words) {
    for (int bit = 15; bit >= 0; --bit) text += ((word >> bit) & 1) != 0 ? '1' : '0';
    text += '\n';
  }
  return text;
}

// One Intel HEX record: length, 16-bit address, type, data and the checksum that makes the sum
// of all its bytes zero.
std::string HexRecord(uint32_t address, int type, std::string_view data) {
  uint32_t sum = static_cast<uint32_t>(data.size()) + (address >> 8) + (address & 0xff) +
                 static_cast<uint32_t>(type);
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) of a literal plus a temporary.
  std::string record = ":";
  record += HexDigits(static_cast<uint32_t>(data.size()), 2) + HexDigits(address, 4) +
            HexDigits(static_cast<uint32_t>(type), 2);
  for (char byte : data) {
    sum += static_cast<unsigned char>(byte);
    record += HexDigits(static_cast<unsigned char>(byte), 2);
  }
  return record + HexDigits((0x100 - (sum & 0xff)) & 0xff, 2) + "\n";
}

// Byte addresses, 16 bytes per record; an extended linear address record sets the upper half of
// the address whenever it changes. A record never crosses a 64 KiB boundary, as 16 divides it.
std::string WriteIntelHex(const ImageWords& image) {
  constexpr size_t BytesPerRecord = 16;
  constexpr int Data = 0;
  constexpr int EndOfFile = 1;
  constexpr int ExtendedLinearAddress = 4;
  const std::string bytes = LittleEndianBytes(image.Words);
  std::string text;
  uint32_t upper = 0;
  for (size_t at = 0; at < bytes.size(); at += BytesPerRecord) {
    const auto address = static_cast<uint32_t>(at);
    if ((address >> 16) != upper) {
      upper = address >> 16;
      const char upperBytes[] = {static_cast<char>(upper >> 8), static_cast<char>(upper & 0xff)};
      text += HexRecord(0, ExtendedLinearAddress, std::string_view(upperBytes, 2));
    }
    text += HexRecord(address & 0xffff, Data, std::string_view(bytes).substr(at, BytesPerRecord));
  }
  return text + HexRecord(0, EndOfFile, {});
}

// Memory initialisation file: word addresses and words in hexadecimal.
std::string WriteMif(const ImageWords& image) {
  std::string text = "WIDTH=16;\nDEPTH=" + std::to_string(image.Words.size()) +
                     ";\nADDRESS_RADIX=HEX;\nDATA_RADIX=HEX;\nCONTENT BEGIN\n";
  for (size_t address = 0; address < image.Words.size(); ++address) {
    text += '\t';
    text += HexDigits(static_cast<uint32_t>(address), 4) + " : " +
            HexDigits(image.Words[address], 4) + ";\n";
  }
  return text + "END;\n";
}

// Coefficient file: the words in hexadecimal, separated by commas, ended by a semicolon.
std::string WriteCoe(const ImageWords& image) {
  std::string text = "memory_initialization_radix=16;\nmemory_initialization_vector=";
  for (size_t i = 0; i < image.Words.size(); ++i) {
    text += (i == 0 ? "\n" : ",\n") + HexDigits(image.Words[i], 4);
  }
  return text + ";\n";
}

std::string WriteRaw(const ImageWords& image) {
  return LittleEndianBytes(image.Words);
}

std::string WriteBin(const ImageWords& image) {
  return ImageHeader(image.SizeField) + LittleEndianBytes(image.Words);
}

constexpr std::array<ImageFormat, 7> Formats = {{
    {"vmem", ".vmem", WriteVmem, "Verilog $readmemh, SystemVerilog, Verilator"},
    {"vmemb", ".vmemb", WriteVmemb, "Verilog $readmemb"},
    {"ihex", ".hex", WriteIntelHex, "programmers, srec_cat, most vendor tools"},
    {"mif", ".mif", WriteMif, "Quartus, srec_cat"},
    {"coe", ".coe", WriteCoe, "Vivado block memory generator"},
    {"raw", ".raw", WriteRaw, "objcopy, loaders"},
    {"bin", ".bin", WriteBin, "mq71asm users: the image with its header"},
}};

}  // namespace

std::span<const ImageFormat> ImageFormats() {
  return Formats;
}

const ImageFormat* FindImageFormat(std::string_view name) {
  for (const ImageFormat& format : Formats) {
    if (format.Name == name) return &format;
  }
  return nullptr;
}
