#include "support/Childprocess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Testsupport.h"

ChildResult RunChild(const std::vector<std::string>& arguments,
                     const std::filesystem::path& directory) {
  const TemporaryDirectory capture;
  const std::filesystem::path out = capture.Path() / "out";
  const std::filesystem::path err = capture.Path() / "err";
  std::vector<std::string> storage = arguments;
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || outFile < 0 || errFile < 0 || chdir(directory.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(outFile, 1);
    dup2(errFile, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  ChildResult result;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.Status = WEXITSTATUS(status);
  }
  result.Out = ReadFile(out);
  result.Err = ReadFile(err);
  return result;
}
