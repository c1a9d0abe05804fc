#pragma once

#include "support/Diagnostic.h"

// Messages about the command line that both front ends print alike.
namespace CommandLineMessages {

inline constexpr MessageForm InvalidLibraryDir = CommandLineMessage("Invalid library dir \"%s\"");
inline constexpr MessageForm InvalidRootDir = CommandLineMessage("Invalid root project dir \"%s\"");
inline constexpr MessageForm InvalidSourceFile = CommandLineMessage("Invalid source file \"%s\"");

}  // namespace CommandLineMessages
