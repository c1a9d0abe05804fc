#include "preprocessor/Parametertokenizer.h"

#include "preprocessor/Preprocessormessages.h"
#include "support/Textutils.h"
#include "support/Translatorerror.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsIdentifierPart(char c) {
  return IsLetter(c) || IsDigit(c) || c == '_';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (FoldCase(c) >= 'a' && FoldCase(c) <= 'f');
}
bool IsNumberTail(char c) {
  return IsDigit(c) || c == '+' || c == '-' || c == '.' || FoldCase(c) == 'e';
}
bool IsNumberSuffix(char c) {
  return FoldCase(c) == 'c' || FoldCase(c) == 'd' || FoldCase(c) == 's';
}
bool IsSkipped(char c) {
  const unsigned char code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

}  // namespace

char ParameterTokenizer::Peek(size_t ahead) const {
  return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
}

std::string ParameterTokenizer::TakeWhile(bool (*accept)(char)) {
  const size_t start = at_;
  while (!AtEnd() && accept(text_[at_])) ++at_;
  return std::string(text_.substr(start, at_ - start));
}

ParameterToken ParameterTokenizer::Next() {
  while (!AtEnd() && IsSkipped(text_[at_])) ++at_;
  if (AtEnd()) return {TokenKind::End, ""};
  const char c = text_[at_];
  if (IsLetter(c) || c == '_') return {TokenKind::Identifier, TakeWhile(IsIdentifierPart)};
  if (IsDigit(c) || c == '-') return ReadNumber();
  if (c == '$') {
    const size_t start = at_++;
    TakeWhile(IsHexDigit);
    return {TokenKind::HexNumber, std::string(text_.substr(start, at_ - start))};
  }
  if (c == '\'' || (c == '#' && at_ + 1 < text_.size() && IsDigit(Peek(1)))) {
    return ReadQuotedText();
  }
  ++at_;
  return {TokenKind::Character, std::string(1, c)};
}

ParameterToken ParameterTokenizer::ReadNumber() {
  const size_t start = at_++;
  TakeWhile(IsDigit);
  TakeWhile(IsNumberTail);
  if (!AtEnd() && IsNumberSuffix(text_[at_])) ++at_;
  return {TokenKind::Number, std::string(text_.substr(start, at_ - start))};
}

ParameterToken ParameterTokenizer::ReadQuotedText() {
  std::string decoded;
  while (!AtEnd()) {
    if (text_[at_] == '\'') {
      ReadApostropheText(decoded);
    } else if (text_[at_] == '#' && at_ + 1 < text_.size() && IsDigit(Peek(1))) {
      ReadCharacterCode(decoded);
    } else {
      break;
    }
  }
  return {TokenKind::QuotedText, decoded};
}

// 'text' with '' standing for one apostrophe.
void ParameterTokenizer::ReadApostropheText(std::string& decoded) {
  ++at_;
  while (true) {
    if (AtEnd()) {
      throw TranslatorError(FormatMessage(PreprocessorMessages::TokenizerError,
                                          {PreprocessorMessages::InvalidStringConstant, "1"}));
    }
    const char c = text_[at_++];
    if (c != '\'') {
      decoded += c;
    } else if (Peek() == '\'') {
      decoded += '\'';
      ++at_;
    } else {
      return;
    }
  }
}

// #65 is the character of code 65; larger codes wrap modulo 256.
void ParameterTokenizer::ReadCharacterCode(std::string& decoded) {
  ++at_;
  unsigned code = 0;
  while (!AtEnd() && IsDigit(text_[at_])) code = (code * 10 + (text_[at_++] - '0')) % 256;
  decoded += static_cast<char>(code);
}
