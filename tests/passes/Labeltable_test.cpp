#include "passes/Labeltable.h"

#include <gtest/gtest.h>

namespace {

TEST(LabelTable, DeclarationsInRowAndWrittenOrder) {
  TWorkTableObject table;
  table.AddRow("f", "0", "", "", "", "", "start:loop:", "");
  table.AddRow("f", "1", "", "", "", "", "", "");
  table.AddRow("f", "2", "", "", "", "", "x::tail", "");
  const std::vector<LabelDeclaration> declarations = CollectLabelDeclarations(table);
  ASSERT_EQ(declarations.size(), 4u);
  EXPECT_EQ(declarations[0].Row, 0);
  EXPECT_EQ(declarations[0].Name, "start");
  EXPECT_EQ(declarations[1].Name, "loop");
  EXPECT_EQ(declarations[2].Row, 2);
  EXPECT_EQ(declarations[2].Name, "x");
  EXPECT_EQ(declarations[3].Name, "");
}

TEST(LabelTable, ExactTestAndCaseBlindLookUpFindFirstEntries) {
  LabelTable labels;
  labels.Append("Loop", "0000000001", 1);
  labels.Append("loop", "0000000010", 2);
  labels.Append("Loop", "0000000011", 3);
  EXPECT_EQ(labels.FindExact("Loop"), 0);
  EXPECT_EQ(labels.FindExact("loop"), 1);
  EXPECT_EQ(labels.FindExact("LOOP"), -1);
  EXPECT_EQ(labels.FindIgnoringCase("LOOP"), 0);
  EXPECT_EQ(labels.FindIgnoringCase("loop"), 0);
  EXPECT_EQ(labels.FindIgnoringCase("loops"), -1);
  EXPECT_EQ(labels.Value(1), "0000000010");
  EXPECT_EQ(labels.Address(2), 3);
}

TEST(LabelTable, CaseFoldingTouchesLettersOnly) {
  LabelTable labels;
  labels.Append("\xC4x", "0", 0);
  labels.Append("[a]", "1", 1);
  EXPECT_EQ(labels.FindIgnoringCase("\xE4X"), -1);
  EXPECT_EQ(labels.FindIgnoringCase("\xC4X"), 0);
  EXPECT_EQ(labels.FindIgnoringCase("{A}"), -1);
  EXPECT_EQ(labels.FindIgnoringCase("[A]"), 1);
}

TEST(LabelTable, NameEndsAtFirstEqualsSign) {
  LabelTable labels;
  labels.Append("a=b", "0000000111", 7);
  EXPECT_EQ(labels.Name(0), "a");
  EXPECT_EQ(labels.Value(0), "b=0000000111");
  EXPECT_EQ(labels.FindExact("a"), 0);
  EXPECT_EQ(labels.FindExact("a=b"), -1);
}

TEST(LabelTable, FirstIgnoringCaseIsTheAddressLookUpOfTheEntrysName) {
  LabelTable labels;
  const char* names[] = {"Loop", "x", "LOOP", "loop", "X", "Loop", "y=1", "Y"};
  for (int i = 0; i < 8; ++i) labels.Append(names[i], "b", i);
  const int expected[] = {0, 1, 0, 0, 1, 0, 6, 6};
  for (int entry = 0; entry < labels.Count(); ++entry) {
    EXPECT_EQ(labels.FirstIgnoringCase(entry), expected[entry]) << names[entry];
    EXPECT_EQ(labels.FirstIgnoringCase(entry), labels.FindIgnoringCase(labels.Name(entry)));
  }
}

TEST(LabelTable, RepeatedNameIsNoticedByExactComparison) {
  struct Case {
    std::vector<std::string> names;
    bool repeated;
  };
  const Case cases[] = {
      {{}, false},
      {{"a", "A", "b"}, false},
      {{"a", "b", "a"}, true},
      {{"a=1", "a"}, true},  // both entries are named "a"
      {{"a=1", "a=2"}, true},
      {{"", ""}, true},
      {{"a", "a="}, true},
  };
  for (const Case& c : cases) {
    LabelTable labels;
    for (const std::string& name : c.names) labels.Append(name, "b", 0);
    EXPECT_EQ(labels.HasRepeatedName(), c.repeated) << testing::PrintToString(c.names);
  }
}

TEST(LabelTable, ManyEntriesKeepTheFirstOfEachNameWithOrWithoutReserving) {
  for (const bool reserve : {false, true}) {
    LabelTable labels;
    if (reserve) labels.Reserve(3000);
    for (int i = 0; i < 3000; ++i) {
      // Every name twice, the second time in capitals: "l7", then "L7" 1500 entries later.
      const int n = i % 1500;
      std::string name = i < 1500 ? "l" : "L";
      name += std::to_string(n);
      labels.Append(name, std::to_string(i), i);
    }
    ASSERT_EQ(labels.Count(), 3000);
    for (int n = 0; n < 1500; n += 7) {
      const std::string number = std::to_string(n);
      const std::string lower = std::string("l").append(number);
      const std::string upper = std::string("L").append(number);
      EXPECT_EQ(labels.FindExact(lower), n);
      EXPECT_EQ(labels.FindExact(upper), 1500 + n);
      EXPECT_EQ(labels.FindIgnoringCase(upper), n);
      EXPECT_EQ(labels.FirstIgnoringCase(1500 + n), n);
      EXPECT_EQ(labels.Value(1500 + n), std::to_string(1500 + n));
    }
    EXPECT_EQ(labels.FindExact("l1500"), -1);
    EXPECT_EQ(labels.FindIgnoringCase("m1"), -1);
    EXPECT_FALSE(labels.HasRepeatedName());
  }
}

TEST(LabelTable, EmptyTableFindsNothing) {
  const LabelTable labels;
  EXPECT_EQ(labels.FindExact(""), -1);
  EXPECT_EQ(labels.FindIgnoringCase("a"), -1);
}

}  // namespace
