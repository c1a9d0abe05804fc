#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Filesystem.h"

class TMq71R04CompilerObject;

// The files the preprocessor reads and writes, through the run's file access.

// The whole content of a source or include file, read as an input of the run; false when the
// name leads to no regular file that can be read.
bool ReadInputFile(TMq71R04CompilerObject& job, std::string_view name, std::string& bytes);

// Writes a dump file whole, its text the pieces one after another, replacing an earlier one.
// Throws TranslatorError "Cannot create file <name>" or "Cannot write file <name>".
void WriteDumpFile(TMq71R04CompilerObject& job, std::string_view name,
                   const std::vector<std::string_view>& pieces);

// What makes the file a name leads to that file; none when it leads to no file.
std::optional<FileIdentity> IdentifyFile(TMq71R04CompilerObject& job, std::string_view name);
