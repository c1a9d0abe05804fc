#include <gtest/gtest.h>

#include <string>

#include "driver/Compilerobject.h"

namespace {

TEST(PrintUsage, PrintsTheFifteenLinesExactly) {
  TMq71R04CompilerObject job;
  job.PrintUsage();
  const std::string expected =
      "\nMq71R04 Processor Core assembler translator.\r\n"
      "Version 0.2.0 R223 . (c) mq71asm developers.\r\n"
      "Option key:\r\n"
      "    -tl  output compiling line.\r\n"
      "    -tc  print compiling time.\r\n"
      "    -oi  print image information.\r\n"
      "    -cs=CheckSum calculation checksum\r\n"
      "    -ro  translate to raw image.\r\n"
      "    -lf=ListFile listing file name. Default is \"list.txt\"\r\n"
      "    -of=OutFile   output binary file name. Default is \"out.bin\"\r\n"
      "    -rd=RootDir   root project dir.\r\n"
      "    -mh=MulFunc   name of mulfunction handler.\r\n"
      "    -is=ImageSize  set limit of output image size in bytes.\r\n"
      "    -sl=File1 File2...   source file list.\r\n"
      "    -ip=LibDir1 LibDir2...   library dirs.\r\n";
  EXPECT_EQ(job.Out.Captured(), expected);
}

TEST(PrintUsage, FirstLineIsOneLineFeedThenTheTitle) {
  TMq71R04CompilerObject job;
  job.PrintUsage();
  const std::string& text = job.Out.Captured();
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text[0], '\n');
  EXPECT_EQ(text[1], 'M');
}

}  // namespace
