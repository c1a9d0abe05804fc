#pragma once

#include <stdexcept>
#include <string>

// An image that cannot be read or converted as asked: an empty or cut file, a size field beyond
// the file's end, more words than the memory holds. The message is one line for the user.
class ImageError : public std::runtime_error {
 public:
  explicit ImageError(const std::string& message) : std::runtime_error(message) {}
};
