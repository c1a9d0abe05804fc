#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ChildResult {
  int Status = -1;  // the exit status; 127 when the program could not be started
  std::string Out;
  std::string Err;
};

// Runs `arguments` (the program is looked up on the PATH unless it names a path) in `directory`
// with an empty standard input, and waits for it.
ChildResult RunChild(const std::vector<std::string>& arguments,
                     const std::filesystem::path& directory);
