#include "cmdline/Commandlineparserclass.h"

#include "driver/Compilerobject.h"

// Placeholder until the option parser lands.
int TCommandLineParser::Parse(int argc, const char* const[], TMq71R04CompilerObject& job) {
  if (argc <= 1) {
    job.PrintUsage();
    return 1;
  }
  return 1;
}

void TCommandLineParser::NextOption(std::string& key, std::vector<std::string>& values) {
  key.clear();
  values.clear();
  Remainder.clear();
}
