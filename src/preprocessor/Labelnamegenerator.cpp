#include "preprocessor/Labelnamegenerator.h"

void LabelNameGenerator::Seed(uint32_t seed) {
  state_ = seed;
  Draw();
}

uint32_t LabelNameGenerator::Draw() {
  state_ = state_ * 22695477u + 1u;
  return (state_ >> 16) & 0x7FFFu;
}

std::string LabelNameGenerator::NewLabel() {
  while (true) {
    const uint32_t first = Draw();
    const uint32_t second = Draw();
    std::string name = std::to_string(second) + std::to_string(first);
    if (generated_.insert(name).second) return name;
  }
}
