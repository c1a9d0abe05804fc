#include "isa/Jumpcommands.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JumpCommands, NameTheirTargetOperand) {
  struct Case {
    std::string command;
    int targetOperand;  // 0: not a jump command
  };
  const Case cases[] = {
      {"jmp", 1},  {"jsr", 1},  {"jnz", 1},  {"jz", 1},   {"jns", 1},  {"js", 1},  {"jnc", 1},
      {"jc", 1},   {"lsah", 2}, {"lsal", 2}, {"lrah", 2}, {"lral", 2}, {"JMP", 0}, {"Lsah", 0},
      {"ijmp", 0}, {"ijsr", 0}, {"movl", 0}, {"ldr", 0},  {"j", 0},    {"", 0},    {"jmp ", 0},
  };
  for (const Case& c : cases) {
    const JumpCommand* jump = FindJumpCommand(c.command);
    EXPECT_EQ(jump == nullptr ? 0 : jump->TargetOperand, c.targetOperand) << c.command;
    if (jump != nullptr) {
      EXPECT_EQ(jump->Name, c.command);
    }
  }
}

}  // namespace
