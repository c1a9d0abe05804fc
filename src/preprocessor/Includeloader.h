#pragma once

#include <string>
#include <string_view>
#include <vector>

class CallDumps;
class TMq71R04CompilerObject;

// "#include "name"" reads a file of the project, "#include <name>" one of the library
// directories; the lines of an included file give rows, #define entries and macro definitions.
// Includes don't nest.
enum class IncludeResult {
  Loaded,     // the file was read and its lines processed
  Failed,     // well-formed, but reported: the file could not be read or its lines raised an error
  Malformed,  // neither form; reported, and the line stays an ordinary row
};

// `line` begins with "#include "; `fileName` and `lineIndex` place the messages. The file is
// read through `dumps`.
IncludeResult LoadInclude(TMq71R04CompilerObject& job, CallDumps& dumps,
                          const std::string& fileName, int lineIndex, std::string_view line);

// The lines of an included file, named `includeName` in rows and messages.
void LoadIncludedLines(TMq71R04CompilerObject& job, const std::string& includeName,
                       std::vector<std::string>& lines);
