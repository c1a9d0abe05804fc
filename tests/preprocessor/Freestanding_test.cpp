#include "preprocessor/Freestanding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr NameBoundaries kSymbols{":\t, ", ",\r\n\t ", true, true};
constexpr NameBoundaries kParameters{",\t ", ",\r\n\t ", true, false};

// The replacement done in place, the search going on behind each inserted replacement or each
// occurrence left alone: the reference for the version that builds a new text.
std::string ReplacedInPlace(std::string text, const std::string& name,
                            const std::string& replacement, const NameBoundaries& boundaries) {
  if (name.empty()) return text;
  size_t start = 0;
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, start)) {
    const size_t end = at + name.size();
    const bool before = at == 0 ? boundaries.startCounts
                                : boundaries.before.find(text[at - 1]) != std::string_view::npos;
    const bool after = end == text.size()
                           ? boundaries.endCounts
                           : boundaries.after.find(text[end]) != std::string_view::npos;
    if (before && after) {
      text.replace(at, name.size(), replacement);
      start = at + replacement.size();
    } else {
      start = end;
    }
  }
  return text;
}

std::string Replaced(const std::string& text, const std::string& name,
                     const std::string& replacement, const NameBoundaries& boundaries) {
  std::string result = "untouched";
  switch (ReplaceFreeStanding(text, name, replacement, boundaries, std::string::npos, result)) {
    case Replaced::Nothing:
      EXPECT_EQ(result, "untouched");
      return text;
    case Replaced::Something:
      return result;
    case Replaced::TooLong:
      break;
  }
  ADD_FAILURE() << "too long without a limit";
  return "";
}

TEST(ReplaceFreeStanding, ReplacesOnlyBetweenTheBoundaries) {
  struct Case {
    std::string text, name, replacement;
    const NameBoundaries* boundaries;
    std::string expected;
  };
  const Case cases[] = {
      {"movl a0,A", "A", "5", &kSymbols, "movl a0,5"},
      {"x:A A:", "A", "5", &kSymbols, "x:5 A:"},  // ':' may precede, not follow
      {"AB A BA", "A", "5", &kSymbols, "AB 5 BA"},
      {"A", "A", "", &kSymbols, ""},
      {"p,p\r\np", "p", " x ", &kParameters, " x , x \r\np"},  // LF may not precede
      {"p", "p", "x", &kParameters, "p"},  // the end does not count for parameters
      {"", "", "x", &kSymbols, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Replaced(c.text, c.name, c.replacement, *c.boundaries), c.expected) << c.text;
  }
}

// Right behind a replacement the character in front of the next occurrence is the
// replacement's last one, as it is after replacing in place.
TEST(ReplaceFreeStanding, ReadsTheCharacterInFrontFromTheTextAsReplaced) {
  EXPECT_EQ(Replaced(",A,A", ",A", "x", kSymbols), "x,A");
  EXPECT_EQ(Replaced(",A,A", ",A", "x,", kSymbols), "x,x,");
  // With nothing put in, the next occurrence stands at the start of the text as replaced.
  EXPECT_EQ(Replaced(",A,A", ",A", "", kSymbols), "");
}

TEST(ReplaceFreeStanding, AgreesWithReplacingInPlaceOverRandomTexts) {
  std::mt19937 random(3);
  const std::string alphabet = "ab, \t:\r\n";
  auto word = [&](int maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  int changed = 0;
  for (int round = 0; round < 20000; ++round) {
    const NameBoundaries& boundaries = round % 2 == 0 ? kSymbols : kParameters;
    const std::string text = word(12);
    const std::string name = word(3);
    const std::string replacement = word(3);
    const std::string expected = ReplacedInPlace(text, name, replacement, boundaries);
    if (expected != text) ++changed;
    ASSERT_EQ(Replaced(text, name, replacement, boundaries), expected)
        << "[" << text << "] [" << name << "] [" << replacement << "]";
  }
  EXPECT_GT(changed, 800);
}

TEST(ReplaceFreeStanding, StopsWhenTheResultOutgrowsTheLimit) {
  std::string result;
  EXPECT_EQ(ReplaceFreeStanding("A A A", "A", "xx", kSymbols, 8, result), Replaced::Something);
  EXPECT_EQ(result, "xx xx xx");
  EXPECT_EQ(ReplaceFreeStanding("A A A", "A", "xx", kSymbols, 7, result), Replaced::TooLong);
  const std::string many(2000001, ',');
  EXPECT_EQ(ReplaceFreeStanding(many, ",", std::string(1000, 'v'), kSymbols, 1 << 20, result),
            Replaced::TooLong);
  EXPECT_LT(result.size(), (1u << 20) + 2000);  // stopped near the limit
}

}  // namespace
