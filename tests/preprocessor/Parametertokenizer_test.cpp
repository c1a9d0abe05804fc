#include "preprocessor/Parametertokenizer.h"

#include <gtest/gtest.h>

#include "support/Translatorerror.h"

namespace {

using Kind = TokenKind;

std::vector<ParameterToken> Tokens(std::string_view text) {
  ParameterTokenizer tokenizer(text);
  std::vector<ParameterToken> tokens;
  do {
    tokens.push_back(tokenizer.Next());
  } while (tokens.back().Kind != Kind::End);
  return tokens;
}

std::string Describe(const std::vector<ParameterToken>& tokens) {
  std::string text;
  for (const ParameterToken& token : tokens) {
    text += '[';
    text += std::to_string(static_cast<int>(token.Kind));
    text += ':';
    text += token.Text;
    text += ']';
  }
  return text;
}

TEST(ParameterTokenizer, RecognisesEveryTokenKind) {
  struct Case {
    std::string text;
    std::vector<ParameterToken> expected;
  };
  const Case cases[] = {
      {"", {{Kind::End, ""}}},
      {" \t\x01 ", {{Kind::End, ""}}},
      {" a, b_2",
       {{Kind::Identifier, "a"},
        {Kind::Character, ","},
        {Kind::Identifier, "b_2"},
        {Kind::End, ""}}},
      {"_x9y", {{Kind::Identifier, "_x9y"}, {Kind::End, ""}}},
      {"12", {{Kind::Number, "12"}, {Kind::End, ""}}},
      {"-5", {{Kind::Number, "-5"}, {Kind::End, ""}}},
      {"-", {{Kind::Number, "-"}, {Kind::End, ""}}},
      {"1.5e+3d", {{Kind::Number, "1.5e+3d"}, {Kind::End, ""}}},
      {"3Ss", {{Kind::Number, "3S"}, {Kind::Identifier, "s"}, {Kind::End, ""}}},
      {"7x", {{Kind::Number, "7"}, {Kind::Identifier, "x"}, {Kind::End, ""}}},
      {"$1fG", {{Kind::HexNumber, "$1f"}, {Kind::Identifier, "G"}, {Kind::End, ""}}},
      {"$", {{Kind::HexNumber, "$"}, {Kind::End, ""}}},
      {"'ab'", {{Kind::QuotedText, "ab"}, {Kind::End, ""}}},
      {"'it''s'", {{Kind::QuotedText, "it's"}, {Kind::End, ""}}},
      {"''", {{Kind::QuotedText, ""}, {Kind::End, ""}}},
      {"#65#66'c'#68", {{Kind::QuotedText, "ABcD"}, {Kind::End, ""}}},
      {"'a' 'b'", {{Kind::QuotedText, "a"}, {Kind::QuotedText, "b"}, {Kind::End, ""}}},
      {"#321", {{Kind::QuotedText, "A"}, {Kind::End, ""}}},  // 321 modulo 256 = 65
      {"#x", {{Kind::Character, "#"}, {Kind::Identifier, "x"}, {Kind::End, ""}}},
      {"(a)",
       {{Kind::Character, "("}, {Kind::Identifier, "a"}, {Kind::Character, ")"}, {Kind::End, ""}}},
      {std::string("\0a", 2),
       {{Kind::Character, std::string(1, '\0')}, {Kind::Identifier, "a"}, {Kind::End, ""}}},
      {"\xe4", {{Kind::Character, "\xe4"}, {Kind::End, ""}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(Tokens(c.text)), Describe(c.expected)) << c.text;
  }
}

TEST(ParameterTokenizer, EndRepeatsAfterTheText) {
  ParameterTokenizer tokenizer("a");
  tokenizer.Next();
  EXPECT_EQ(tokenizer.Next().Kind, Kind::End);
  EXPECT_EQ(tokenizer.Next().Kind, Kind::End);
}

TEST(ParameterTokenizer, UnclosedApostropheTextThrowsInvalidStringConstant) {
  for (const std::string text : {"'abc", "a, 'b", "'it''", "#65'x"}) {
    try {
      Tokens(text);
      ADD_FAILURE() << text << " was accepted";
    } catch (const TranslatorError& error) {
      EXPECT_STREQ(error.what(), "Invalid string constant on line 1") << text;
    }
  }
}

}  // namespace
