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

TEST(NameIndex, KeepsTheFirstNumberFiledUnderAName) {
  struct Case {
    const char* asked;
    int exact;
    int ignoringCase;
  };
  NameIndex<LetterCase::Exact> exact;
  NameIndex<LetterCase::Ignored> ignoringCase;
  const char* filed[] = {"Loop", "loop", "x", "Loop", "", "\xc4x"};
  for (int number = 0; number < 6; ++number) {
    exact.Insert(filed[number], number);
    ignoringCase.Insert(filed[number], number);
  }
  const Case cases[] = {
      {"Loop", 0, 0}, {"loop", 1, 0},    {"LOOP", -1, 0},  {"x", 2, 2},       {"X", -1, 2},
      {"", 4, 4},     {"\xe4x", -1, -1}, {"\xc4X", -1, 5}, {"Loop_", -1, -1}, {"Lo", -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(exact.Find(c.asked), c.exact) << c.asked;
    EXPECT_EQ(ignoringCase.Find(c.asked), c.ignoringCase) << c.asked;
  }
}

TEST(NameIndex, InsertTellsWhetherItFiledTheNumber) {
  NameIndex<LetterCase::Ignored> index;
  EXPECT_EQ(index.Insert("Max", 7), std::make_pair(7, true));
  EXPECT_EQ(index.Insert("MAX", 9), std::make_pair(7, false));
  EXPECT_EQ(index.Insert("min", 9), std::make_pair(9, true));
}

// The table grows whether or not room was reserved, and every name stays found.
TEST(NameIndex, FindsEveryNameAfterGrowing) {
  for (const size_t reserved : {size_t{0}, size_t{10}, size_t{5000}}) {
    NameIndex<LetterCase::Exact> index;
    index.Reserve(reserved);
    for (int number = 0; number < 5000; ++number) {
      index.Insert("block" + std::to_string(number), number);
    }
    for (int number = 0; number < 5000; ++number) {
      ASSERT_EQ(index.Find("block" + std::to_string(number)), number) << reserved;
    }
    EXPECT_EQ(index.Find("block5000"), NameIndex<LetterCase::Exact>::NotFound);
  }
}

}  // namespace
