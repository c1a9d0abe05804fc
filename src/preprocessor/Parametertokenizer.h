#pragma once

#include <string>
#include <string_view>

// Cuts the parameter text of a ".macro" line into tokens. Characters of codes 1 to 32 between
// tokens are skipped.
enum class TokenKind {
  End,         // the end of the text
  Identifier,  // a letter or '_', then letters, digits and '_'
  Number,      // '-' or a digit, digits, then + - . digits E e, then one of c C d D s S
  HexNumber,   // '$' and hexadecimal digits
  QuotedText,  // 'apostrophe text' ('' for one apostrophe) and #code parts; Text is decoded
  Character,   // any other single character, a comma among them
};

struct ParameterToken {
  TokenKind Kind = TokenKind::End;
  std::string Text;
};

class ParameterTokenizer {
 public:
  explicit ParameterTokenizer(std::string_view text) : text_(text) {}

  // The next token. An apostrophe text not closed before the end throws TranslatorError
  // "Invalid string constant on line 1".
  ParameterToken Next();

 private:
  bool AtEnd() const { return at_ >= text_.size(); }
  char Peek(size_t ahead = 0) const;
  std::string TakeWhile(bool (*accept)(char));
  ParameterToken ReadNumber();
  ParameterToken ReadQuotedText();
  void ReadApostropheText(std::string& decoded);
  void ReadCharacterCode(std::string& decoded);

  std::string_view text_;
  size_t at_ = 0;
};
