#pragma once

#include <array>
#include <string_view>

// The vocabulary of the Mq71R04 core: instruction, register and special-register tables. The
// encoder reads them to build words and the decoder to read words back, so that both directions
// share one list of opcodes and codes.

namespace isa {

// One row of a table, "name=value".
struct TableRow {
  std::string_view Name;
  std::string_view Value;
};

// The order is part of the language: the encoder picks an instruction's format by its position.
// clang-format off
inline constexpr std::array<TableRow, 60> InstructionTable = {{
    {"mov", "000001"}, {"cmp", "000010"}, {"add", "000100"}, {"sub", "000011"},         //  0
    {"and", "000101"}, {"or", "000110"}, {"xor", "000111"},                             //  4
    {"movl", "010"}, {"cmpl", "011"},                                                   //  7
    {"addl", "001100"}, {"subl", "001011"},                                             //  9
    {"bich", "0010101"}, {"bicl", "0010100"}, {"bish", "0011101"}, {"bisl", "0011100"}, // 11
    {"btgh", "0011111"}, {"btgl", "0011110"}, {"btth", "0011011"}, {"bttl", "0011010"}, // 15
    {"swap", "00000000001"}, {"neg", "00000000010"}, {"not", "00000000011"},            // 19
    {"shl", "00000000100"}, {"shr", "00000000101"}, {"shra", "00000000110"},            // 22
    {"rlc", "00000000111"}, {"rrc", "00000001000"}, {"adc", "00000001001"},             // 25
    {"sbc", "00000001010"},                                                             // 28
    {"ldr", "00100"}, {"mtpr", "00000010"}, {"mfpr", "00000011"},                       // 29
    {"push", "0000000000010"}, {"pop", "0000000000011"},                                // 32
    {"sst", "000000011000"}, {"cst", "000000011100"},                                   // 34
    {"tof", "0000000000000100"}, {"tdc", "0000000000000101"},                           // 36
    {"jmp", "100000"}, {"jsr", "100100"}, {"jnz", "101100"}, {"jz", "101000"},          // 38
    {"jns", "110000"}, {"js", "110100"}, {"jnc", "111000"}, {"jc", "111100"},           // 42
    {"ijmp", "0000000000000011"}, {"ijsr", "0000000000000111"},                         // 46
    {"rts", "0000000000001100"}, {"rti", "0000000000001101"},                           // 48
    {"rtsc", "000000000000111"},                                                        // 50
    {"nop", "0000000000000000"}, {"wait", "0000000000000001"},                          // 51
    {"slp", "0000000000001000"}, {"rst", "0000000000000010"},                           // 53
    {"sksp", "0000000000000110"},                                                       // 55
    {"lrah", "__PSEUDO"}, {"lral", "__PSEUDO"}, {"lsah", "__PSEUDO"}, {"lsal", "__PSEUDO"}, // 56
}};

// Four banks of eight; the code of (bank, n) is 8 * bank + n in five bits.
inline constexpr std::array<TableRow, 32> RegisterTable = {{
    {"a0", "00000"}, {"a1", "00001"}, {"a2", "00010"}, {"a3", "00011"},
    {"a4", "00100"}, {"a5", "00101"}, {"a6", "00110"}, {"a7", "00111"},
    {"b0", "01000"}, {"b1", "01001"}, {"b2", "01010"}, {"b3", "01011"},
    {"b4", "01100"}, {"b5", "01101"}, {"b6", "01110"}, {"b7", "01111"},
    {"c0", "10000"}, {"c1", "10001"}, {"c2", "10010"}, {"c3", "10011"},
    {"c4", "10100"}, {"c5", "10101"}, {"c6", "10110"}, {"c7", "10111"},
    {"d0", "11000"}, {"d1", "11001"}, {"d2", "11010"}, {"d3", "11011"},
    {"d4", "11100"}, {"d5", "11101"}, {"d6", "11110"}, {"d7", "11111"},
}};

inline constexpr std::array<TableRow, 8> SpecialRegisterTable = {{
    {"#0", "000"}, {"#1", "001"}, {"#2", "010"}, {"#3", "011"},
    {"#4", "100"}, {"#5", "101"}, {"#6", "110"}, {"#7", "111"},
}};
// clang-format on

}  // namespace isa
