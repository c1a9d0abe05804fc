#include "preprocessor/Definelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/Textutils.h"

namespace {

// An entry given as "symbol=value", split at its first '='.
void Append(DefineList& list, const std::string& entry) {
  const size_t split = entry.find('=');
  list.Append(entry.substr(0, split), entry.substr(split + 1));
}

DefineList ListOf(std::initializer_list<std::string> entries) {
  DefineList list;
  for (const std::string& entry : entries) Append(list, entry);
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

std::string Substituted(const DefineList& list, const std::string& text) {
  std::string result;
  switch (list.Substitute(text, std::string::npos, result)) {
    case DefineList::Outcome::Changed:
      return result;
    case DefineList::Outcome::Unchanged:
      return text;
    case DefineList::Outcome::TooLarge:
      break;
  }
  return "too large";
}

TEST(DefineList, EntriesKeepReadingOrderAndSplitAtFirstEquals) {
  const DefineList list = ListOf({"A=5", "=x", "a=b=c", "B="});
  ASSERT_EQ(list.Count(), 4);
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
  ASSERT_NE(list.LookUp("size"), nullptr);
  EXPECT_EQ(*list.LookUp("size"), "1");
  EXPECT_EQ(*list.LookUp("SiZe"), "1");
  // Only A-Z fold: the bytes C4 and E4 are different symbols.
  ASSERT_NE(list.LookUp("\xe4X"), nullptr);
  EXPECT_EQ(*list.LookUp("\xe4X"), "5");
  EXPECT_EQ(list.LookUp("siz"), nullptr);
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
  for (const Case& c : cases) EXPECT_EQ(Substituted(list, c.text), c.expected) << c.text.size();
}

TEST(DefineList, ValuesMayBeEmpty) {
  EXPECT_EQ(Substituted(ListOf({"X=", "Y=2"}), "a X,Y"), "a ,2");
}

// Every entry applied to the text in place, one after another: the reference for the version
// that applies only the entries that can change the text, into new buffers.
std::string ReferenceSubstitution(const std::vector<std::string>& entries, std::string text) {
  auto symbolOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  for (const std::string& entry : entries) {
    const std::string symbol = symbolOf(entry);
    if (symbol.empty() || text.find(symbol) == std::string::npos) continue;
    std::string value;
    for (const std::string& other : entries) {
      if (EqualsIgnoreCase(symbolOf(other), symbol)) {
        value = other.substr(other.find('=') + 1);
        break;
      }
    }
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

TEST(DefineList, SubstitutionAgreesWithTheReferenceOverRandomTexts) {
  std::mt19937 random(7);
  auto word = [&random](int maxLength) { return RandomWord(random, maxLength); };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> entries;
    DefineList list;
    const int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) {
      entries.push_back(word(3) + "=" + word(4));
      Append(list, entries.back());
    }
    const std::string text = word(14);
    ASSERT_EQ(Substituted(list, text), ReferenceSubstitution(entries, text))
        << "text \"" << text << "\", first entry \"" << entries[0] << "\"";
  }
}

// Hundreds of symbols, many of them case variants of each other, so that one symbol ignoring
// case has many entries.
TEST(DefineList, LargeListsAgreeWithTheReference) {
  std::mt19937 random(11);
  std::vector<std::string> entries;
  DefineList list;
  for (int i = 0; i < 600; ++i) {
    std::string symbol(1, 'S');
    symbol += std::to_string(random() % 250);
    if (random() % 3 == 0) symbol[0] = 's';
    entries.push_back(symbol + "=" + std::to_string(i));
    Append(list, entries.back());
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
    ASSERT_NE(list.LookUp(lowered), nullptr) << symbol;
    const std::string& value = *list.LookUp(lowered);
    const auto first = std::find_if(entries.begin(), entries.end(), [&](const std::string& e) {
      return EqualsIgnoreCase(e.substr(0, e.find('=')), symbol);
    });
    EXPECT_EQ(value, first->substr(first->find('=') + 1)) << symbol;
  }
  EXPECT_EQ(list.LookUp("S250"), nullptr);
}

// Unchanged must mean the text stays as it is, and Changed that it does not.
TEST(DefineList, OutcomeTellsWhetherTheTextChanged) {
  std::mt19937 random(8);
  auto word = [&random](int maxLength) { return RandomWord(random, maxLength); };
  int changed = 0;
  for (int round = 0; round < 3000; ++round) {
    DefineList list;
    const int count = static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) Append(list, word(3) + "=" + word(4));
    const std::string text = word(14);
    std::string result = "untouched";
    const DefineList::Outcome outcome = list.Substitute(text, std::string::npos, result);
    ASSERT_NE(outcome, DefineList::Outcome::TooLarge);
    if (outcome == DefineList::Outcome::Unchanged) {
      ASSERT_EQ(Substituted(list, text), text) << "text \"" << text << "\"";
    } else {
      ++changed;
      ASSERT_NE(result, text) << "text \"" << text << "\"";
    }
  }
  EXPECT_GT(changed, 200);  // the rounds did exercise substitution
}

TEST(DefineList, ResultLongerThanTheLimitIsTooLarge) {
  struct Case {
    std::vector<std::string> entries;
    std::string text;
    size_t limit;
    DefineList::Outcome outcome;
  };
  using enum DefineList::Outcome;
  const Case cases[] = {
      {{"A=xyz"}, "A A", 7, Changed},       // "xyz xyz" just fits
      {{"A=xyz"}, "A A", 6, TooLarge},      // one character too many
      {{"A=x"}, "AAAA", 3, Unchanged},      // a longer text that nothing changes
      {{"AB=x"}, "AB AB", 3, Changed},      // shrinking to the limit
      {{"A=B,B", "B=C,C"}, "A", 7, Changed},   // "C,C,C,C"
      {{"A=B,B", "B=C,C"}, "A", 6, TooLarge},  // a later entry grows it past the limit
  };
  for (const Case& c : cases) {
    DefineList list;
    for (const std::string& entry : c.entries) Append(list, entry);
    std::string result;
    EXPECT_EQ(list.Substitute(c.text, c.limit, result), c.outcome) << c.text << " " << c.limit;
  }
}

// A chain of symbols each standing for two of the next doubles the text with every entry: the
// limit stops it long before the text is built in full.
TEST(DefineList, DoublingChainStopsAtTheLimit) {
  DefineList list;
  // Names built piecewise: "literal" + temporary trips a false GCC 12 warning.
  auto name = [](int i) { return std::string("X").append(std::to_string(i)); };
  for (int i = 0; i < 40; ++i) list.Append(name(i), name(i + 1) + "," + name(i + 1));
  std::string result;
  EXPECT_EQ(list.Substitute("X0", 1 << 20, result), DefineList::Outcome::TooLarge);
  EXPECT_LT(result.size(), 4u << 20);
}

TEST(DefineList, SymbolHoldingEqualsGivesTheRestToTheValue) {
  DefineList list;
  list.Append("A", "5");
  list.Append("", "x");
  list.Append("b=c", "d");
  EXPECT_EQ(list.Symbol(0), "A");
  EXPECT_EQ(list.Value(0), "5");
  EXPECT_EQ(list.Symbol(1), "");
  EXPECT_EQ(list.Value(1), "x");
  EXPECT_EQ(list.Symbol(2), "b");
  EXPECT_EQ(list.Value(2), "c=d");
  ASSERT_NE(list.LookUp("a"), nullptr);
  EXPECT_EQ(*list.LookUp("a"), "5");
}

}  // namespace
