#pragma once

#include <string_view>

// The commands whose target is a code address, given as a label or a number: a jump names it in
// its only operand, a label-address command (one byte of an address into a register) in its
// second. Label resolution turns the target into ten binary digits, and macro expansion renames
// a body's labels where they stand there. Names are compared exactly.
struct JumpCommand {
  std::string_view Name;
  int TargetOperand;  // 1 or 2
};

inline constexpr JumpCommand kJumpCommands[] = {
    {"jmp", 1},  {"jsr", 1},  {"jnz", 1},  {"jz", 1},   {"jns", 1}, {"js", 1},
    {"jnc", 1},  {"jc", 1},   {"lsah", 2}, {"lsal", 2}, {"lrah", 2}, {"lral", 2},
};

// The jump command named `command`, or null.
inline const JumpCommand* FindJumpCommand(std::string_view command) {
  for (const JumpCommand& jump : kJumpCommands) {
    if (jump.Name == command) return &jump;
  }
  return nullptr;
}
