// Whole-program cases as data. Each folder under cases/ holds:
//   args     the command line, one argument per line ("@TMP@" stands for the run directory);
//            absent or empty for no arguments
//   in/      the source tree, copied into a fresh run directory, which is the current directory
//   stdout   the exact bytes expected on standard output
//   stderr   optional, the exact bytes expected on standard error (else it must stay empty)
//   out/     every file the run must leave behind besides its unchanged inputs, byte for byte
//   program  optional, the executable to run from the build directory (default mq71asm)
//   status   optional, the expected exit status (default 0)
// In stdout, stderr and out/ files, "@TMP@" stands for the run directory and "@ANY@" for any run
// of characters within one line (a time, a generated label).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Literal pieces must follow each other; "@ANY@" between them skips characters of one line.
bool MatchesPattern(const std::string& expected, const std::string& actual) {
  const std::string wildcard = "@ANY@";
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t at = expected.find(wildcard); at != std::string::npos;
       at = expected.find(wildcard, start)) {
    pieces.push_back(expected.substr(start, at - start));
    start = at + wildcard.size();
  }
  pieces.push_back(expected.substr(start));
  if (pieces.size() == 1) return expected == actual;
  if (actual.compare(0, pieces[0].size(), pieces[0]) != 0) return false;
  size_t position = pieces[0].size();
  for (size_t i = 1; i < pieces.size(); ++i) {
    const bool last = i + 1 == pieces.size();
    size_t found;
    if (last) {
      if (actual.size() < pieces[i].size()) return false;
      found = actual.size() - pieces[i].size();
      if (found < position || actual.compare(found, pieces[i].size(), pieces[i]) != 0) {
        return false;
      }
    } else {
      found = actual.find(pieces[i], position);
      if (found == std::string::npos) return false;
    }
    const std::string skipped = actual.substr(position, found - position);
    if (skipped.find_first_of("\r\n") != std::string::npos) return false;
    position = found + pieces[i].size();
  }
  return true;
}

std::vector<std::string> ReadArguments(const fs::path& file, const std::string& runDir) {
  std::vector<std::string> arguments;
  if (!fs::exists(file)) return arguments;
  std::string text = ReadBytes(file);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.empty()) return arguments;
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    arguments.push_back(ReplaceAll(text.substr(start, end - start), "@TMP@", runDir));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return arguments;
}

std::map<std::string, std::string> SnapshotFiles(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).generic_string()] = ReadBytes(entry.path());
    }
  }
  return files;
}

struct RunResult {
  int exitStatus = -1;
  bool timedOut = false;
  std::string out;
  std::string err;
};

RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const fs::path& workDir, const fs::path& captureDir) {
  const fs::path outPath = captureDir / "stdout";
  const fs::path errPath = captureDir / "stderr";
  std::vector<std::string> argvStorage = {(fs::path(MQ71_BIN_DIR) / program).string()};
  argvStorage.insert(argvStorage.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& argument : argvStorage) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(workDir.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  result.out = ReadBytes(outPath);
  result.err = ReadBytes(errPath);
  return result;
}

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "mq71e2eXXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// The first line of an optional one-line file, or `fallback` when there is none.
std::string ReadSetting(const fs::path& file, const std::string& fallback) {
  if (!fs::exists(file)) return fallback;
  const std::string text = ReadBytes(file);
  return text.substr(0, text.find('\n'));
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(MQ71_CASES_DIR)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class EndToEnd : public ::testing::TestWithParam<std::string> {};

TEST_P(EndToEnd, MatchesExpectedOutputAndFiles) {
  const fs::path caseDir = fs::path(MQ71_CASES_DIR) / GetParam();
  ScratchDirectory scratch;
  const fs::path runDir = scratch.Path() / "run";
  const fs::path captureDir = scratch.Path() / "capture";
  fs::create_directories(runDir);
  fs::create_directories(captureDir);
  if (fs::exists(caseDir / "in")) fs::copy(caseDir / "in", runDir, fs::copy_options::recursive);
  const auto inputs = SnapshotFiles(runDir);
  const std::string runPath = runDir.string();

  const RunResult result = RunProgram(ReadSetting(caseDir / "program", "mq71asm"),
                                      ReadArguments(caseDir / "args", runPath), runDir, captureDir);

  ASSERT_FALSE(result.timedOut) << "the run did not end";
  EXPECT_EQ(result.exitStatus, std::stoi(ReadSetting(caseDir / "status", "0")));
  const std::string expectedOut = ReplaceAll(ReadBytes(caseDir / "stdout"), "@TMP@", runPath);
  EXPECT_TRUE(MatchesPattern(expectedOut, result.out))
      << "stdout differs.\n--- expected\n" << expectedOut << "\n--- actual\n" << result.out;
  const std::string expectedErr = ReplaceAll(ReadBytes(caseDir / "stderr"), "@TMP@", runPath);
  EXPECT_TRUE(MatchesPattern(expectedErr, result.err))
      << "stderr differs.\n--- expected\n" << expectedErr << "\n--- actual\n" << result.err;

  auto expectedFiles = SnapshotFiles(caseDir / "out");
  for (const auto& [name, bytes] : inputs) {
    if (!expectedFiles.count(name)) expectedFiles[name] = bytes;  // inputs stay as they were
  }
  const auto actualFiles = SnapshotFiles(runDir);
  for (const auto& [name, bytes] : expectedFiles) {
    auto found = actualFiles.find(name);
    if (found == actualFiles.end()) {
      ADD_FAILURE() << "missing file " << name;
    } else {
      EXPECT_TRUE(MatchesPattern(ReplaceAll(bytes, "@TMP@", runPath), found->second))
          << "file " << name << " differs.\n--- expected\n" << bytes << "\n--- actual\n"
          << found->second;
    }
  }
  for (const auto& [name, bytes] : actualFiles) {
    EXPECT_TRUE(expectedFiles.count(name)) << "unexpected file " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
