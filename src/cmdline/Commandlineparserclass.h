#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TMq71R04CompilerObject;

// Turns the process arguments into the job's options, checks the library directories and the
// source files, and makes the root project directory current.
class TCommandLineParser {
 public:
  // 0 when the run may go on, 1 when it must stop (usage printed or an error reported).
  int Parse(int argc, const char* const argv[], TMq71R04CompilerObject& job);

  // Consumes one option from the remainder and delivers its key and its values:
  //   -key=value value ...   (up to the next "-")
  //   -key                    (followed by another option)
  // Text that does not begin with "-" is consumed up to the next "-" and delivered as the key
  // " text", which never names an option; the values are then left as they were.
  void NextOption(std::string& key, std::vector<std::string>& values);

  // The part of the joined command line that has not been consumed yet.
  std::string_view Remainder() const { return std::string_view(line_).substr(consumed_); }
  void SetRemainder(std::string text);

 private:
  // Note [linear option scan]: the remainder is a suffix of one text that only ever shrinks
  // from the front, and each search remembers where it found its character. A later search
  // from a position not beyond that find gets the same answer without scanning again, so a
  // command line of any length is taken apart in linear time.
  class ForwardSearch {
   public:
    explicit ForwardSearch(char target) : target_(target) {}
    size_t FindFrom(std::string_view text, size_t from);
    void Forget() { searchedFrom_ = std::string_view::npos; }

   private:
    char target_;
    size_t searchedFrom_ = std::string_view::npos;
    size_t found_ = std::string_view::npos;
  };

  void TakeStrayText(std::string& key);
  void TakeKeyAlone(std::string& key, size_t restStart);
  void TakeKeyAndValues(std::string& key, std::vector<std::string>& values, size_t restStart,
                        size_t equalsAt);

  bool ReadOptions(TMq71R04CompilerObject& job);

  std::string line_;
  size_t consumed_ = 0;
  ForwardSearch dashes_{'-'};
  ForwardSearch equalSigns_{'='};
  ForwardSearch blanks_{' '};
};
