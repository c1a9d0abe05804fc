#include "cmdline/Commandlineparserclass.h"

#include <filesystem>

#include "cmdline/Commandlinemessages.h"
#include "cmdline/Optiontable.h"
#include "driver/Compilerobject.h"
#include "support/Textutils.h"

namespace fs = std::filesystem;
namespace CLM = CommandLineMessages;

namespace {

using Job = TMq71R04CompilerObject;
constexpr size_t kNotFound = std::string_view::npos;

// Every argument after the program name, each preceded by one blank.
std::string JoinArguments(int argc, const char* const argv[]) {
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    joined += ' ';
    if (argv[i] != nullptr) joined += argv[i];
  }
  return joined;
}

// Values are separated by the space character only; `text` is trimmed, so what follows a
// blank needs trimming at its start only.
void SplitValues(std::string_view text, std::vector<std::string>& values) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t blank = text.find(' ', start);
    if (blank == kNotFound) {
      values.emplace_back(text.substr(start));
      return;
    }
    values.emplace_back(text.substr(start, blank - start));
    start = blank + 1;
    while (start < text.size() && static_cast<unsigned char>(text[start]) <= 32) ++start;
  }
}

fs::path ResolveAgainst(const fs::path& base, const std::string& entry) {
  const fs::path path(entry);
  if (path.is_absolute() || base.empty()) return path;
  return base / path;
}

// Note [library dirs]: angle includes are read after the root directory has become the base of
// relative names, so a relative library directory is resolved against the start directory when
// it is checked and the list keeps the resolved path; that way includes come from the directory
// that was checked. Messages quote the entry as it was given.
bool CheckLibraryDirs(Job& job) {
  const fs::path start = job.Files.Files().BaseDirectory();
  bool allFound = true;
  for (std::string& entry : *job.LibraryDirs) {
    const fs::path resolved = ResolveAgainst(start, entry);
    if (job.Files.Files().IsDirectory(resolved.string())) {
      entry = resolved.string();
    } else {
      allFound = Fail(job, CLM::InvalidLibraryDir, {entry});
    }
  }
  return allFound;
}

// The root directory becomes the base of relative names. An empty RootDir (no "-rd" given)
// cannot be entered either.
bool EnterRootDir(Job& job) {
  if (job.Files.Files().EnterDirectory(job.RootDir)) return true;
  return Fail(job, CLM::InvalidRootDir, {job.RootDir});
}

// Relative names are taken from the root directory by now; only a regular file counts, so a
// directory of that name is reported like a missing file.
bool CheckSourceFiles(Job& job) {
  bool allFound = true;
  for (const std::string& entry : *job.SourceFiles) {
    if (!job.Files.Files().IsRegularFile(entry)) {
      allFound = Fail(job, CLM::InvalidSourceFile, {entry});
    }
  }
  return allFound;
}

}  // namespace

// Note [linear option scan]
// Each step searches the line from the start of the remainder, so every search must stop at the
// next "-" or consume what it has looked at, or a long line of short options would be searched
// again and again. The "=" of an option counts only before the next "-", and the values end
// there. Only a key that is followed by another option ends at a blank that may stand beyond the
// next "-" (and consumes the text up to it); when there is no blank after the "-" at all the key
// is empty and one character is consumed, so the last blank of the line is kept to tell that
// without a search.

void TCommandLineParser::SetRemainder(std::string text) {
  line_ = std::move(text);
  consumed_ = 0;
  lastBlank_ = line_.rfind(' ');
}

void TCommandLineParser::NextOption(std::string& key, std::vector<std::string>& values) {
  const std::string_view text(line_);
  if (consumed_ >= text.size()) {
    key.clear();
    values.clear();
    return;
  }
  if (text[consumed_] != '-') return TakeStrayText(key);
  values.clear();
  const size_t restStart = consumed_ + 1;
  const size_t nextDash = text.find('-', restStart);
  const size_t optionEnd = nextDash == kNotFound ? text.size() : nextDash;
  const size_t equalsAt = text.substr(0, optionEnd).find('=', restStart);
  if (equalsAt != kNotFound) return TakeKeyAndValues(key, values, restStart, equalsAt, optionEnd);
  if (nextDash != kNotFound) return TakeKeyAlone(key, restStart);
  key = Trim(text.substr(restStart));
  consumed_ = text.size();
}

// " text" up to the next "-", or the whole remainder when no "-" follows.
void TCommandLineParser::TakeStrayText(std::string& key) {
  const std::string_view text(line_);
  const size_t dash = text.find('-', consumed_);
  const size_t end = dash == kNotFound ? text.size() : dash;
  key.assign(1, ' ');
  key += Trim(text.substr(consumed_, end - consumed_));
  consumed_ = end;
}

// -key ...   another option follows: the key ends at the first blank, which is consumed with
// it; anything between that blank and the next "-" is left behind as stray text.
void TCommandLineParser::TakeKeyAlone(std::string& key, size_t restStart) {
  const std::string_view text(line_);
  if (lastBlank_ == kNotFound || lastBlank_ < restStart) {
    key.clear();
    consumed_ = restStart;
    return;
  }
  const size_t blank = text.find(' ', restStart);
  key = Trim(text.substr(restStart, blank - restStart));
  consumed_ = blank + 1;
}

// -key = value value ...   the values run up to the next "-", which stays in the remainder.
void TCommandLineParser::TakeKeyAndValues(std::string& key, std::vector<std::string>& values,
                                          size_t restStart, size_t equalsAt, size_t valuesEnd) {
  const std::string_view text(line_);
  key = Trim(text.substr(restStart, equalsAt - restStart));
  const size_t valuesStart = equalsAt + 1;
  SplitValues(Trim(text.substr(valuesStart, valuesEnd - valuesStart)), values);
  consumed_ = valuesEnd;
}

bool TCommandLineParser::ReadOptions(Job& job) {
  // The values list lives for the option loop only.
  std::string key;
  std::vector<std::string> values;
  bool allAccepted = true;
  while (!Remainder().empty()) {
    NextOption(key, values);
    if (!ApplyOption(job, key, values)) allAccepted = false;
  }
  return allAccepted;
}

// Messages come in this order: options in command-line order, library directories, the root
// directory, source files.
int TCommandLineParser::Parse(int argc, const char* const argv[], Job& job) {
  SetRemainder(Trim(JoinArguments(argc, argv)));
  if (Remainder().empty()) {
    job.PrintUsage();
    return 1;
  }
  bool failed = !ReadOptions(job);
  if (!CheckLibraryDirs(job)) failed = true;
  // A misused "-rd" has already said so; there is no root to enter.
  if (job.RootDir == kInvalidRootMarker) return 1;
  if (!EnterRootDir(job)) return 1;
  if (!CheckSourceFiles(job)) failed = true;
  return failed ? 1 : 0;
}
