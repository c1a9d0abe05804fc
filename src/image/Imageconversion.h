#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "image/Imageformats.h"

struct ConversionRequest {
  const ImageFormat* Format = nullptr;
  bool RawInput = false;        // the file has no header
  std::optional<size_t> Depth;  // pad with zero words to this many
};

// An image file's words (program, checksum, fill; a final odd byte padded with 0) in the
// requested format. Throws ImageError for a file that is no image, or more words than the depth.
std::string ConvertImage(std::string_view fileBytes, const ConversionRequest& request);
