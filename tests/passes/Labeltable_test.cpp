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
  TLabelTable labels;
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
  TLabelTable labels;
  labels.Append("\xC4x", "0", 0);
  labels.Append("[a]", "1", 1);
  EXPECT_EQ(labels.FindIgnoringCase("\xE4X"), -1);
  EXPECT_EQ(labels.FindIgnoringCase("\xC4X"), 0);
  EXPECT_EQ(labels.FindIgnoringCase("{A}"), -1);
  EXPECT_EQ(labels.FindIgnoringCase("[A]"), 1);
}

TEST(LabelTable, NameEndsAtFirstEqualsSign) {
  TLabelTable labels;
  labels.Append("a=b", "0000000111", 7);
  EXPECT_EQ(labels.Name(0), "a");
  EXPECT_EQ(labels.Value(0), "b=0000000111");
  EXPECT_EQ(labels.FindExact("a"), 0);
  EXPECT_EQ(labels.FindExact("a=b"), -1);
}

}  // namespace
