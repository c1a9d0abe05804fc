// The symbol map and the dependency rules that the build front end writes beside the image.
#include <gtest/gtest.h>

#include "passes/Dependencyrules.h"
#include "passes/Passtestsupport.h"
#include "passes/Symbolmap.h"

namespace {

TEST(SymbolMap, OneLinePerLabelInAddressOrderWithItsPlace) {
  TMq71R04CompilerObject job;
  TWorkTableObject& table = *job.WorkTable;
  table.AddRow("m.asm", "0", "nop", "", "", "nop", "start:", "");
  table.AddRow("lib.inc", "4", "nop", "", "", "nop", "", "");
  table.AddRow("m.asm", "9", "nop", "", "", "nop", "a:b:", "");
  const std::string generated = job.LabelNames.NewLabel();
  table.SetItem(1, ColLabels, generated + ":");
  job.ChecksumLabel = "sum";
  EXPECT_EQ(SymbolMapText(job), "start\t0000\tm.asm:1\n" + generated +
                                    "\t0001\tlib.inc:5\tmacro\n"
                                    "a\t0002\tm.asm:10\n"
                                    "b\t0002\tm.asm:10\n"
                                    "sum\t0003\t-\n");
}

TEST(DependencyRules, EveryInputIsAPrerequisiteAndEveryIncludeATarget) {
  EXPECT_EQ(DependencyRules("out.bin", {"main.asm"}, {}), "out.bin: main.asm\n");
  EXPECT_EQ(DependencyRules("my dir/out.bin", {"a.asm", "b$.asm"}, {"inc/x#1.inc", "/lib/m.inc"}),
            "my\\ dir/out.bin: a.asm b$$.asm inc/x\\#1.inc /lib/m.inc\n"
            "\ninc/x\\#1.inc:\n"
            "\n/lib/m.inc:\n");
}

}  // namespace
