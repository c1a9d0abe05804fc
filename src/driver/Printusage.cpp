#include <string_view>

#include "driver/Compilerobject.h"

namespace {

// The usage text, one entry per line; the leading line feed makes an empty line first.
constexpr std::string_view kUsageLines[] = {
    "\nMq71R04 Processor Core assembler translator.",
    "Version 0.2.0 R223 . (c) mq71asm developers.",
    "Option key:",
    "    -tl  output compiling line.",
    "    -tc  print compiling time.",
    "    -oi  print image information.",
    "    -cs=CheckSum calculation checksum",
    "    -ro  translate to raw image.",
    "    -lf=ListFile listing file name. Default is \"list.txt\"",
    "    -of=OutFile   output binary file name. Default is \"out.bin\"",
    "    -rd=RootDir   root project dir.",
    "    -mh=MulFunc   name of mulfunction handler.",
    "    -is=ImageSize  set limit of output image size in bytes.",
    "    -sl=File1 File2...   source file list.",
    "    -ip=LibDir1 LibDir2...   library dirs.",
};

}  // namespace

void TMq71R04CompilerObject::PrintUsage() {
  for (std::string_view line : kUsageLines) Out.WriteLine(line);
}
