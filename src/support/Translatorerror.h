#pragma once

#include <stdexcept>
#include <string>

// The translator's general error: faults of the environment (a file that cannot be read or
// written) and the few internal errors that end a run. The entry point shows its message.
class TranslatorError : public std::runtime_error {
 public:
  explicit TranslatorError(const std::string& message) : std::runtime_error(message) {}
};
