#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

// Names for the labels declared in macro bodies: the decimal text of two draws of a linear
// congruential generator, second draw first. The state is shared by the whole run; every macro
// definition reseeds it with the millisecond tick count. A name generated once in the run is
// never handed out again, so definitions read within the same millisecond, and repeated
// expansions of one definition, never declare the same label twice.
class LabelNameGenerator {
 public:
  // Sets the state to the seed and advances it once, discarding that draw.
  void Seed(uint32_t seed);
  // Advances the state (state * 22695477 + 1, modulo 2^32) and yields its bits 16 to 30.
  uint32_t Draw();
  // A name never generated before in this run.
  std::string NewLabel();
  // True when `name` was handed out by NewLabel.
  bool Generated(std::string_view name) const { return generated_.count(std::string(name)) > 0; }

 private:
  uint32_t state_ = 0;
  std::unordered_set<std::string> generated_;
};
