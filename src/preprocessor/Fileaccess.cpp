#include "preprocessor/Fileaccess.h"

#include "driver/Compilerobject.h"

bool ReadInputFile(TMq71R04CompilerObject& job, std::string_view name, std::string& bytes) {
  return job.Files.ReadInput(name, bytes);
}

void WriteDumpFile(TMq71R04CompilerObject& job, std::string_view name,
                   const std::vector<std::string_view>& pieces) {
  const std::unique_ptr<OutputFile> file = job.Files.CreateDump(name);
  for (std::string_view piece : pieces) file->Write(piece);
  file->Commit();
}

std::optional<FileIdentity> IdentifyFile(TMq71R04CompilerObject& job, std::string_view name) {
  return job.Files.Files().Identify(name);
}
