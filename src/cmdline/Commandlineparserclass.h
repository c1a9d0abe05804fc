#pragma once

#include <string>
#include <vector>

class TMq71R04CompilerObject;

// Turns the process arguments into the job's options, checks the library directories and the
// source files, and makes the root project directory current.
class TCommandLineParser {
 public:
  // 0 when the run may go on, 1 when it must stop (usage printed or an error reported).
  int Parse(int argc, const char* const argv[], TMq71R04CompilerObject& job);
  // Consumes one option from Remainder.
  void NextOption(std::string& key, std::vector<std::string>& values);

  std::string Remainder;
};
