#include "preprocessor/Definelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/Textutils.h"

namespace {

DefineList ListOf(std::initializer_list<std::string> entries) {
  DefineList list;
  for (const std::string& entry : entries) list.Append(entry);
  return list;
}

// Up to `maxLength` characters from a small alphabet of letters in both cases and the
// separators, so that symbols, values and texts often meet.
std::string RandomWord(std::mt19937& random, int maxLength) {
  const std::string_view alphabet = "aAbB:,\t x";
  std::string text;
  const int length = static_cast<int>(random() % (maxLength + 1));
  for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
  return text;
}

std::string Substituted(const DefineList& list, std::string text) {
  list.Substitute(text);
  return text;
}

TEST(DefineList, EntriesKeepReadingOrderAndSplitAtFirstEquals) {
  const DefineList list = ListOf({"A=5", "=x", "a=b=c", "B="});
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Entry(2), "a=b=c");
  EXPECT_EQ(list.Symbol(0), "A");
  EXPECT_EQ(list.Value(0), "5");
  EXPECT_EQ(list.Symbol(1), "");
  EXPECT_EQ(list.Value(1), "x");
  EXPECT_EQ(list.Symbol(2), "a");
  EXPECT_EQ(list.Value(2), "b=c");
  EXPECT_EQ(list.Value(3), "");
}

TEST(DefineList, LookUpFindsFirstEntryIgnoringCaseOfLetters) {
  const DefineList list = ListOf({"Size=1", "SIZE=2", "size=3", "\xc4x=4", "\xe4x=5"});
  std::string_view value;
  ASSERT_TRUE(list.LookUp("size", value));
  EXPECT_EQ(value, "1");
  ASSERT_TRUE(list.LookUp("SiZe", value));
  EXPECT_EQ(value, "1");
  // Only A-Z fold: the bytes C4 and E4 are different symbols.
  ASSERT_TRUE(list.LookUp("\xe4X", value));
  EXPECT_EQ(value, "5");
  EXPECT_FALSE(list.LookUp("siz", value));
}

TEST(DefineList, SubstitutesOnlyFreeStandingOccurrences) {
  const DefineList list = ListOf({"A=5"});
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"movl a0,A", "movl a0,5"},
      {"movl a0, A", "movl a0, 5"},
      {"A", "5"},
      {"x:A", "x:5"},
      {"x\tA\tA", "x\t5\t5"},
      {"A,A A", "5,5 5"},
      {"AB A", "AB 5"},
      {"BA", "BA"},
      {"A:", "A:"},
      {"(A)", "(A)"},
      {"A+1", "A+1"},
      {"a", "a"},  // the search is case-sensitive
      {"AA A", "AA 5"},
      {"A:A", "A:5"},
  };
  for (const Case& c : cases) EXPECT_EQ(Substituted(list, c.text), c.expected) << c.text;
}

TEST(DefineList, SearchResumesBehindOccurrenceLeftAlone) {
  // "xa,a,a" holds "a,a" at 1 (after x: not free-standing) and at 3 (after ',', at the end:
  // free-standing). Resuming behind the first occurrence skips the overlapping second one.
  EXPECT_EQ(Substituted(ListOf({"a,a=5"}), "xa,a,a"), "xa,a,a");
  EXPECT_EQ(Substituted(ListOf({"a,a=5"}), "xa,a,a a,a"), "xa,a,a 5");
  EXPECT_EQ(Substituted(ListOf({"AA=x"}), "AAA AA"), "AAA x");
}

TEST(DefineList, EntriesApplyInListOrder) {
  // A later entry replaces inside a value inserted by an earlier one...
  EXPECT_EQ(Substituted(ListOf({"A=B", "B=C"}), "jmp A"), "jmp C");
  // ...but not the other way round.
  EXPECT_EQ(Substituted(ListOf({"B=C", "A=B"}), "jmp A"), "jmp B");
  // An entry never searches the value it has just inserted.
  EXPECT_EQ(Substituted(ListOf({"A=A,A"}), "x A"), "x A,A");
  EXPECT_EQ(Substituted(ListOf({"A=x\tA"}), "A A"), "x\tA x\tA");
}

TEST(DefineList, RepeatedAndCaseVariantSymbolsTakeTheFirstValue) {
  EXPECT_EQ(Substituted(ListOf({"A=1", "A=2"}), "A"), "1");
  EXPECT_EQ(Substituted(ListOf({"Max=7", "MAX=9"}), "Max,MAX max"), "7,7 max");
}

TEST(DefineList, EmptySymbolIsNeverFound) {
  EXPECT_EQ(Substituted(ListOf({"=5"}), ""), "");
  EXPECT_EQ(Substituted(ListOf({"=5"}), "a b"), "a b");
}

TEST(DefineList, SymbolsHoldingSeparatorsAreStillSubstituted) {
  // Included files record such symbols after reporting them.
  EXPECT_EQ(Substituted(ListOf({"a,b=7"}), "x a,b"), "x 7");
  EXPECT_EQ(Substituted(ListOf({"p\tq=1"}), "p\tq,p"), "1,p");
}

TEST(DefineList, LongSymbolsAreFoundByTheirWholeRun) {
  const std::string symbol70(70, 'L');
  const std::string symbol64 = std::string(63, 'M') + "N";
  const DefineList list = ListOf({symbol70 + "=7", symbol64 + "=6", "L=1"});
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"x " + symbol70, "x 7"},
      {"x " + symbol70 + "L", "x " + symbol70 + "L"},
      {"x " + std::string(100, 'L'), "x " + std::string(100, 'L')},
      {symbol64 + "," + std::string(64, 'M') + ",L", "6," + std::string(64, 'M') + ",1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Substituted(list, c.text), c.expected) << c.text.size();
    EXPECT_EQ(list.MayChange(c.text), c.expected != c.text) << c.text.size();
  }
}

TEST(DefineList, ValuesMayBeEmpty) {
  EXPECT_EQ(Substituted(ListOf({"X=", "Y=2"}), "a X,Y"), "a ,2");
}

// The rules applied literally, entry after entry: the reference for the indexed version.
std::string ReferenceSubstitution(const std::vector<std::string>& entries, std::string text) {
  auto symbolOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  for (const std::string& entry : entries) {
    const std::string symbol = symbolOf(entry);
    std::string value;
    for (const std::string& other : entries) {
      if (EqualsIgnoreCase(symbolOf(other), symbol)) {
        value = other.substr(other.find('=') + 1);
        break;
      }
    }
    if (symbol.empty()) continue;
    size_t start = 0;
    for (size_t at = text.find(symbol); at != std::string::npos; at = text.find(symbol, start)) {
      const size_t end = at + symbol.size();
      const bool before = at == 0 || std::string(":\t, ").find(text[at - 1]) != std::string::npos;
      const bool after =
          end == text.size() || std::string(",\r\n\t ").find(text[end]) != std::string::npos;
      if (before && after) {
        text.replace(at, symbol.size(), value);
        start = at + value.size();
      } else {
        start = end;
      }
    }
  }
  return text;
}

TEST(DefineList, IndexedSubstitutionAgreesWithTheLiteralRules) {
  std::mt19937 random(7);
  auto word = [&random](int maxLength) { return RandomWord(random, maxLength); };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> entries;
    DefineList list;
    const int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) {
      entries.push_back(word(3) + "=" + word(4));
      list.Append(entries.back());
    }
    const std::string text = word(14);
    ASSERT_EQ(Substituted(list, text), ReferenceSubstitution(entries, text))
        << "text \"" << text << "\", first entry \"" << entries[0] << "\"";
  }
}

// Hundreds of symbols, many of them case variants of each other, so that the index grows many
// times while chains of equal symbols run through it.
TEST(DefineList, LargeListsAgreeWithTheLiteralRules) {
  std::mt19937 random(11);
  std::vector<std::string> entries;
  DefineList list;
  for (int i = 0; i < 600; ++i) {
    std::string symbol(1, 'S');
    symbol += std::to_string(random() % 250);
    if (random() % 3 == 0) symbol[0] = 's';
    entries.push_back(symbol + "=" + std::to_string(i));
    list.Append(entries.back());
  }
  for (int i = 0; i < 300; ++i) {
    std::string text = "mov S";
    text.append(std::to_string(random() % 260))
        .append(", s")
        .append(std::to_string(random() % 260));
    text.append(" S").append(std::to_string(i));
    ASSERT_EQ(Substituted(list, text), ReferenceSubstitution(entries, text)) << text;
  }
  // The first entry of a symbol gives its value whatever the case it is asked in.
  for (const std::string& entry : entries) {
    const std::string symbol = entry.substr(0, entry.find('='));
    std::string lowered = symbol;
    for (char& c : lowered) c = FoldCase(c);
    std::string_view value;
    ASSERT_TRUE(list.LookUp(lowered, value)) << symbol;
    const auto first = std::find_if(entries.begin(), entries.end(), [&](const std::string& e) {
      return EqualsIgnoreCase(e.substr(0, e.find('=')), symbol);
    });
    EXPECT_EQ(value, first->substr(first->find('=') + 1)) << symbol;
  }
  std::string_view value;
  EXPECT_FALSE(list.LookUp("S250", value));
}

TEST(DefineList, MayChangeWhenASymbolFillsARunOrASeparatorSymbolOccurs) {
  const DefineList list = ListOf({"A=5", "a,b=7", "=9"});
  struct Case {
    std::string text;
    bool mayChange;
  };
  const Case cases[] = {
      {"", false},
      {"movl a0, 3", false},
      {"movl a0, A", true},
      {"A", true},
      {"x:A", true},
      {"AB BA", false},
      {"(A)", false},  // no run equals A: Substitute
                       // changes nothing either
      {"x a,b", true},
      {"a,c b", false},
      {"x= 9", false},  // the empty symbol is never found
  };
  for (const Case& c : cases) EXPECT_EQ(list.MayChange(c.text), c.mayChange) << c.text;
  EXPECT_FALSE(DefineList().MayChange("A"));
}

// MayChange lets the table walk skip a text: it must never be false for a text that
// Substitute would change.
TEST(DefineList, MayChangeIsTrueForEveryTextSubstitutionChanges) {
  std::mt19937 random(8);
  auto word = [&random](int maxLength) { return RandomWord(random, maxLength); };
  int changed = 0;
  for (int round = 0; round < 3000; ++round) {
    DefineList list;
    const int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) list.Append(word(3) + "=" + word(4));
    const std::string text = word(14);
    if (Substituted(list, text) == text) continue;
    ++changed;
    ASSERT_TRUE(list.MayChange(text)) << "text \"" << text << "\"";
  }
  EXPECT_GT(changed, 300);  // the rounds did exercise substitution
}

// Substituted is MayChange and Substitute in one: false exactly when MayChange is, and then
// the result is left alone; otherwise the result is the substituted text.
TEST(DefineList, SubstitutedAgreesWithMayChangeAndSubstitute) {
  std::mt19937 random(9);
  auto word = [&random](int maxLength) { return RandomWord(random, maxLength); };
  for (int round = 0; round < 3000; ++round) {
    DefineList list;
    const int count = static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) list.Append(word(3) + "=" + word(4));
    const std::string text = word(14);
    std::string result = "untouched";
    const bool mayChange = list.Substituted(text, result);
    ASSERT_EQ(mayChange, list.MayChange(text)) << "text \"" << text << "\"";
    ASSERT_EQ(result, mayChange ? Substituted(list, text) : "untouched")
        << "text \"" << text << "\"";
  }
}

TEST(DefineList, AppendOfSymbolAndValueJoinsThemWithEquals) {
  DefineList list;
  list.Append("A", "5");
  list.Append("", "x");
  list.Append("b", "");
  EXPECT_EQ(list.Entry(0), "A=5");
  EXPECT_EQ(list.Entry(1), "=x");
  EXPECT_EQ(list.Entry(2), "b=");
  std::string_view value;
  ASSERT_TRUE(list.LookUp("a", value));
  EXPECT_EQ(value, "5");
}

}  // namespace
