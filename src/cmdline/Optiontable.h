#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/Diagnostic.h"

class TMq71R04CompilerObject;

using OptionValues = std::vector<std::string>;

// What "-rd" leaves in RootDir when it is misused; the parser stops quietly when it finds it.
inline constexpr std::string_view kInvalidRootMarker = "E_INVALID";

// Reports the message through the job's sink and returns false, so that a check of the command
// line reads `return Fail(job, message, {details});`.
bool Fail(TMq71R04CompilerObject& job, const MessageForm& form,
          std::initializer_list<std::string_view> details = {});

// Acts on one option as the option table says: stores its values in the job, or prints why the
// option is misused or unknown and returns false. Keys match exactly, letter case included.
bool ApplyOption(TMq71R04CompilerObject& job, const std::string& key, const OptionValues& values);
