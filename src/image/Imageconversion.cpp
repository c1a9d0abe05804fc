#include "image/Imageconversion.h"

#include <vector>

#include "image/Imageerror.h"
#include "image/Imagelayout.h"
#include "image/Imagereader.h"

std::string ConvertImage(std::string_view fileBytes, const ConversionRequest& request) {
  const LoadedImage image = ReadImage(fileBytes, request.RawInput);
  std::vector<uint16_t> words = image.Words;
  if (request.Depth) {
    // A memory too small for the image would lose its end: refused rather than cut.
    if (words.size() > *request.Depth) {
      throw ImageError("the image has " + std::to_string(words.size()) +
                       " words, more than the depth of " + std::to_string(*request.Depth));
    }
    words.resize(*request.Depth, 0);
  }
  // A raw image does not say where its program ends; its layout does.
  const uint16_t sizeField = image.HasHeader ? image.SizeField : AnalyseLayout(image).SizeField();
  return request.Format->Write({words, sizeField});
}
