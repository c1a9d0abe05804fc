#pragma once

#include <string>
#include <string_view>
#include <vector>

class TMq71R04CompilerObject;

using OptionValues = std::vector<std::string>;

// What "-rd" leaves in RootDir when it is misused; the parser stops quietly when it finds it.
inline constexpr std::string_view kInvalidRootMarker = "E_INVALID";

// Prints `message` through the job's sink and returns false, so that a check of the command line
// reads `return Fail(job, message);`.
bool Fail(TMq71R04CompilerObject& job, std::string_view message);

// Acts on one option as the option table says: stores its values in the job, or prints why the
// option is misused or unknown and returns false. Keys match exactly, letter case included.
bool ApplyOption(TMq71R04CompilerObject& job, const std::string& key, const OptionValues& values);
