#include "support/Namemap.h"

#include <gtest/gtest.h>

namespace {

TEST(FoldedNameMap, FindsANameWrittenInAnyLetterCaseOfAToZ) {
  FoldedNameMap<int> names;
  names.emplace("Loop_1", 7);
  for (const char* asked : {"Loop_1", "loop_1", "LOOP_1", "lOoP_1"}) {
    const auto found = names.find(std::string_view(asked));
    ASSERT_NE(found, names.end()) << asked;
    EXPECT_EQ(found->second, 7);
  }
  // Only A-Z fold: bytes above 127 and other characters compare as they are.
  names.emplace("\xc4x", 1);
  EXPECT_EQ(names.count(std::string_view("\xe4x")), 0u);
  EXPECT_EQ(names.count(std::string_view("Loop-1")), 0u);
  EXPECT_EQ(names.count(std::string_view("Loop_")), 0u);
}

TEST(FoldedNameMap, KeepsTheFirstEntryOfNamesEqualIgnoringCase) {
  FoldedNameMap<int> names;
  names.emplace("Max", 7);
  EXPECT_FALSE(names.emplace("MAX", 9).second);
  EXPECT_EQ(names.find(std::string_view("max"))->second, 7);
}

}  // namespace
