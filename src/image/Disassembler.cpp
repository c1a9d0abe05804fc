#include "image/Disassembler.h"

#include <algorithm>
#include <array>
#include <optional>

#include "image/Imagelayout.h"
#include "isa/Instructiondecoder.h"
#include "support/Textutils.h"

// Note [disassembly]
// The program's words are decoded in order (Note [decoding]) up to the first word that is no
// instruction; from there on every word is written as `.word` data. mq71asm places data behind
// all instructions, so the rows come back in the same order and the image is the same.
//
// Addresses become labels where a label can stand: jump targets and the addresses that an
// lrah/lral (or lsah/lsal) pair loads into a register pair, when they lie in the program or on
// the checksum. Such a pair is two words that decode as the loads of one address's high and low
// byte into two registers in a row (a2 then a3, #4 then #5); anything else stays the movl or ldr
// it also is. A label names the row at its address, so the label form gives the same word as
// the number would. Every data row gets a label, as mq71asm warns of data it cannot address.
//
// The checksum, the fill words and the header's size field are not instructions: the head of
// the source describes them and names the mq71asm options that rebuild them.

namespace {

using Form = DecodedOperand::Form;

constexpr std::string_view ChecksumLabel = "checksum";
constexpr size_t StatementWidth = 24;
constexpr size_t ChecksumBytes = 4;

// "1 word", "2 words".
std::string Count(size_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string LabelName(size_t address) {
  return "L_" + HexDigits(static_cast<uint32_t>(address), 4);
}

struct SourceRow {
  uint16_t Word = 0;
  std::optional<DecodedInstruction> Instruction;  // none: a data word
  bool LoadsAddress = false;                      // one of an address load pair
  bool Labelled = false;
};

class Disassembler {
 public:
  Disassembler(const LoadedImage& image, std::string_view imageName)
      : image_(image), imageName_(imageName), layout_(AnalyseLayout(image)) {}

  Disassembly Run() {
    ReadRows();
    JoinAddressLoads();
    PlaceLabels();
    NoteForeignParts();
    WriteHead();
    for (size_t address = 0; address < rows_.size(); ++address) WriteRow(address);
    return std::move(result_);
  }

 private:
  void ReadRows() {
    rows_.resize(layout_.ProgramWords);
    bool data = false;
    for (size_t address = 0; address < rows_.size(); ++address) {
      rows_[address].Word = image_.Words[address];
      if (!data) rows_[address].Instruction = DecodeWord(rows_[address].Word);
      data = data || !rows_[address].Instruction;
    }
  }

  void JoinAddressLoads() {
    for (size_t address = 0; address + 1 < rows_.size(); ++address) {
      SourceRow& high = rows_[address];
      SourceRow& low = rows_[address + 1];
      if (!high.Instruction || !low.Instruction) break;
      const auto pair = DecodeAddressLoad(high.Word, low.Word);
      if (!pair || !IsRegisterPair(*pair) || TargetName((*pair)[0].Operands[1].Value).empty()) {
        continue;
      }
      high = {high.Word, (*pair)[0], true, false};
      low = {low.Word, (*pair)[1], true, false};
      ++address;
    }
  }

  static bool IsRegisterPair(const std::array<DecodedInstruction, 2>& pair) {
    return pair[1].Operands[0].Value == pair[0].Operands[0].Value + 1;
  }

  void PlaceLabels() {
    for (SourceRow& row : rows_) {
      if (!row.Instruction) {
        row.Labelled = true;
        continue;
      }
      for (size_t operand = 0; operand < 2; ++operand) {
        if (NamesAddress(row, operand)) Label(row.Instruction->Operands[operand].Value);
      }
    }
    if (layout_.FillWords > 0) Label(layout_.FillTarget);
  }

  // Jump targets (a first operand) and the addresses of load pairs; an lsal on its own stands
  // for an ldr constant.
  static bool NamesAddress(const SourceRow& row, size_t operand) {
    return row.Instruction->Operands[operand].Kind == Form::Address &&
           (row.LoadsAddress || operand == 0);
  }

  void Label(int32_t address) {
    if (address >= 0 && static_cast<size_t>(address) < rows_.size()) {
      rows_[static_cast<size_t>(address)].Labelled = true;
    }
  }

  // The label that names `address`, or empty when none can.
  std::string TargetName(int32_t address) const {
    if (address >= 0 && static_cast<size_t>(address) < layout_.ProgramWords) {
      return LabelName(static_cast<size_t>(address));
    }
    if (layout_.HasChecksum && static_cast<size_t>(address) == layout_.ChecksumAddress()) {
      return std::string(ChecksumLabel);
    }
    return {};
  }

  std::string OperandText(const SourceRow& row, size_t index) const {
    const DecodedOperand& operand = row.Instruction->Operands[index];
    switch (operand.Kind) {
      case Form::Name:
        return std::string(operand.Name);
      case Form::Number:
        return std::to_string(operand.Value);
      case Form::Address: {
        const std::string name = NamesAddress(row, index) ? TargetName(operand.Value) : "";
        return name.empty() ? "0x" + HexDigits(static_cast<uint32_t>(operand.Value), 1) : name;
      }
      case Form::Absent:
        break;
    }
    return {};
  }

  std::string Statement(const SourceRow& row) const {
    if (!row.Instruction) return ".word 0x" + HexDigits(row.Word, 4);
    std::string text(row.Instruction->Mnemonic);
    const std::string first = OperandText(row, 0);
    const std::string second = OperandText(row, 1);
    if (!first.empty()) text += " " + first;
    if (!second.empty()) text += ", " + second;
    return text;
  }

  //         jnz L_0003              ; 0004: B003
  void WriteRow(size_t address) {
    const SourceRow& row = rows_[address];
    std::string line = row.Labelled ? LabelName(address) + ": " : std::string(8, ' ');
    line += Statement(row);
    line.resize(std::max(line.size() + 1, 8 + StatementWidth), ' ');
    line += "; " + HexDigits(static_cast<uint32_t>(address), 4) + ": " + HexDigits(row.Word, 4);
    Line(line);
  }

  void NoteForeignParts() {
    if (!image_.HeaderIsClean) {
      Warn("header bytes besides the size field are set; mq71asm writes zeros there");
    }
    if (image_.HasHeader && image_.SizeField % 2 != 0) {
      Warn("the size field is odd; mq71asm counts whole words");
    }
    if (image_.OddLength) Warn("the file ends in a single byte; mq71asm writes whole words");
    if (layout_.ForeignWords > 0) {
      Warn(Count(layout_.ForeignWords, "word") +
           " after the program, which mq71asm does not write as fill");
    }
  }

  void Warn(std::string problem) { result_.Warnings.push_back(std::move(problem)); }

  void WriteHead() {
    Line("; " + std::string(imageName_) +
         ", disassembled by mq71 disasm: mq71asm assembles this source back into the image.");
    Line(";");
    Line("; Header: " + HeaderText());
    Line("; Program: " + ProgramText());
    Line("; Checksum: " + ChecksumText());
    Line("; Fill: " + FillText());
    for (const std::string& warning : result_.Warnings) Line("; Not rebuilt: " + warning + ".");
    Line(";");
    Line("; Rebuild: mq71asm -rd=DIR -sl=FILE -of=IMAGE" + RebuildOptions());
    Line("; (DIR holds this source as FILE; IMAGE names the image to write.)");
    Line("");
  }

  std::string HeaderText() const {
    if (!image_.HasHeader) return "none, a raw image (-ro).";
    return "512 bytes, size field " + std::to_string(image_.SizeField) + ".";
  }

  std::string ProgramText() const {
    size_t instructions = 0;
    while (instructions < rows_.size() && rows_[instructions].Instruction) ++instructions;
    return Count(rows_.size(), "word") + ": " + Count(instructions, "instruction") + ", then " +
           Count(rows_.size() - instructions, "data word") + ".";
  }

  std::string ChecksumText() const {
    if (!layout_.HasChecksum) return "none.";
    const size_t at = layout_.ChecksumAddress();
    const uint32_t sum = image_.Words[at] | (static_cast<uint32_t>(image_.Words[at + 1]) << 16);
    return HexDigits(sum, 8) + " at " + HexDigits(static_cast<uint32_t>(at), 4) +
           ", the byte sum of the program words (-cs=" + std::string(ChecksumLabel) + ").";
  }

  std::string FillText() const {
    if (layout_.FillWords == 0) return "none.";
    std::string target = "address 0";
    if (layout_.FillTarget != 0) {
      target = TargetName(layout_.FillTarget) + " (" + HandlerOption().substr(1) + ")";
    }
    return Count(layout_.FillWords, "word") + " " + HexDigits(layout_.FillWord, 4) + ", jumps to " +
           target + ", up to " + std::to_string(ImageSizeLimit()) +
           " bytes (-is=" + std::to_string(ImageSizeLimit()) + ").";
  }

  // The fill's limit counts the bytes after the header.
  size_t ImageSizeLimit() const {
    return 2 * (layout_.ProgramWords + layout_.FillWords) +
           (layout_.HasChecksum ? ChecksumBytes : 0);
  }

  // " -mh=NAME" when the fill jumps anywhere but address 0.
  std::string HandlerOption() const {
    if (layout_.FillWords == 0 || layout_.FillTarget == 0) return {};
    return " -mh=" + TargetName(layout_.FillTarget);
  }

  std::string RebuildOptions() const {
    std::string options;
    if (!image_.HasHeader) options += " -ro";
    if (layout_.HasChecksum) options += " -cs=" + std::string(ChecksumLabel);
    options += HandlerOption();
    if (layout_.FillWords > 0) options += " -is=" + std::to_string(ImageSizeLimit());
    return options;
  }

  void Line(const std::string& text) { result_.Source += text + "\n"; }

  const LoadedImage& image_;
  std::string_view imageName_;
  ImageLayout layout_;
  std::vector<SourceRow> rows_;
  Disassembly result_;
};

}  // namespace

Disassembly DisassembleImage(const LoadedImage& image, std::string_view imageName) {
  return Disassembler(image, imageName).Run();
}
