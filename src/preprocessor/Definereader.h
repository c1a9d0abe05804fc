#pragma once

#include <string>
#include <string_view>

#include "support/Outputsink.h"
#include "preprocessor/Definelist.h"

// The two readers of "#define symbol value" lines: one for top-level files, whose errors fail
// the pass, and a milder one for included files (TMacrosObject::ReadDefine delegates to it).

// What becomes of a top-level #define line.
enum class DefineOutcome {
  Dropped,    // the line gets no row
  Emptied,    // the line gets a row with an empty text
  Unchanged,  // the line stays a statement (and fails later as one)
};

struct DefineParts {
  std::string_view Symbol;
  std::string_view Value;
};

// Symbol: the text before the first blank, or when there is none before the first tab, trimmed.
// Value: the text behind the first blank, then behind the first tab, trimmed. Views of `body`.
DefineParts SplitDefineBody(std::string_view body);

// The 28 characters refused in a top-level definition; an included file allows '#'.
bool HasForbiddenCharacter(std::string_view body, bool topLevel);

// `line` has its comment removed, is trimmed and begins with "#define". Reports through `out`;
// `failed` is set by every message.
DefineOutcome ReadTopLevelDefine(std::string_view line, std::string_view fileName, int lineIndex,
                                 DefineList& defines, OutputSink& out, bool& failed);

// A line of an included file. Does nothing unless it begins with "#define". Records the
// definition even when its body holds a forbidden character (reported); may empty the line.
void ReadIncludedDefine(std::string& line, std::string_view includeName, int lineIndex,
                        DefineList& defines, OutputSink& out);
