#include "preprocessor/Fileaccess.h"

#include "driver/Compilerobject.h"

bool ReadInputFile(TMq71R04CompilerObject& job, std::string_view name, std::string& bytes) {
  return job.Files.ReadInput(name, bytes);
}

void WriteDumpFile(TMq71R04CompilerObject& job, std::string_view name, std::string_view text) {
  job.Files.WriteDump(name, text);
}

std::optional<FileIdentity> IdentifyFile(TMq71R04CompilerObject& job, std::string_view name) {
  return job.Files.Files().Identify(name);
}
