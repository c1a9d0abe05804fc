#include "image/Disassembler.h"

#include <gtest/gtest.h>

namespace {

LoadedImage Image(int sizeField, std::vector<uint16_t> words) {
  LoadedImage image;
  image.HasHeader = true;
  image.SizeField = static_cast<uint16_t>(sizeField);
  image.Words = std::move(words);
  return image;
}

TEST(DisassembleImage, WritesLabelsDataAndTheOptionsThatRebuildTheImage) {
  const LoadedImage image = Image(18, {
                                          0x4002,  // movl a2, 0: the high byte of address 5
                                          0x40a3,  // movl a3, 5: its low byte
                                          0xb000,  // jnz 0
                                          0x2640,  // ldr #0 with the field 200
                                          0x0002,  // rst, the handler the fill jumps to
                                          0xffff,  // data from here on
                                          0x4865,
                                          0x04e8,  // the byte sum of the words above
                                          0x0000,
                                          0x8004,  // fill: jmp 4
                                          0x8004,
                                      });
  const Disassembly result = DisassembleImage(image, "t.bin");
  EXPECT_EQ(result.Source,
            "; t.bin, disassembled by mq71 disasm: mq71asm assembles this source back into the "
            "image.\n"
            ";\n"
            "; Header: 512 bytes, size field 18.\n"
            "; Program: 7 words: 5 instructions, then 2 data words.\n"
            "; Checksum: 000004E8 at 0007, the byte sum of the program words (-cs=checksum).\n"
            "; Fill: 2 words 8004, jumps to L_0004 (-mh=L_0004), up to 22 bytes (-is=22).\n"
            ";\n"
            "; Rebuild: mq71asm -rd=DIR -sl=FILE -of=IMAGE -cs=checksum -mh=L_0004 -is=22\n"
            "; (DIR holds this source as FILE; IMAGE names the image to write.)\n"
            "\n"
            "L_0000: lrah a2, L_0005         ; 0000: 4002\n"
            "        lral a3, L_0005         ; 0001: 40A3\n"
            "        jnz L_0000              ; 0002: B000\n"
            "        lsal #0, 0xC8           ; 0003: 2640\n"
            "L_0004: rst                     ; 0004: 0002\n"
            "L_0005: .word 0xFFFF            ; 0005: FFFF\n"
            "L_0006: .word 0x4865            ; 0006: 4865\n");
  EXPECT_TRUE(result.Warnings.empty());
}

TEST(DisassembleImage, WarnsOfWhatMq71asmDoesNotWrite) {
  LoadedImage image = Image(3, {0x0000, 0x0000, 0x1234});
  image.HeaderIsClean = false;
  image.OddLength = true;
  const std::vector<std::string> warnings = {
      "header bytes besides the size field are set; mq71asm writes zeros there",
      "the size field is odd; mq71asm counts whole words",
      "the file ends in a single byte; mq71asm writes whole words",
      "1 word after the program, which mq71asm does not write as fill",
  };
  const Disassembly result = DisassembleImage(image, "t.bin");
  EXPECT_EQ(result.Warnings, warnings);
  EXPECT_NE(result.Source.find("; Not rebuilt: the size field is odd"), std::string::npos);
}

}  // namespace
