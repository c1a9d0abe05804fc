#pragma once

#include <string_view>

class TMq71R04CompilerObject;

// The walk over the whole work table after each top-level file: #define substitution in every
// row, then every macro call replaced by its expanded body. Rows inserted by an expansion are
// not examined again in the same walk.
void WalkTable(TMq71R04CompilerObject& job);

// The first byte of the command word of a statement (TMq71R04_ASMParserObject::ExtractCommand:
// the word after the last ':' and the blanks behind it, or without ':' the word at the very
// start, ending at a blank or tab); -1 when the command word is empty. Far cheaper than
// splitting the statement, and enough to tell that most statements call no macro.
int CommandFirstByte(std::string_view text);
