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
  void TakeStrayText(std::string& key);
  void TakeKeyAlone(std::string& key, size_t restStart);
  void TakeKeyAndValues(std::string& key, std::vector<std::string>& values, size_t restStart,
                        size_t equalsAt, size_t valuesEnd);

  bool ReadOptions(TMq71R04CompilerObject& job);

  std::string line_;
  size_t consumed_ = 0;
  // See Note [linear option scan].
  size_t lastBlank_ = std::string::npos;
};
