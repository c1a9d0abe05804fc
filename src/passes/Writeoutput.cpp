#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver/Compilerobject.h"
#include "image/Imageformats.h"
#include "image/Imageheader.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "passes/Programimage.h"
#include "support/Textutils.h"
#include "support/Translatorerror.h"

// The output stage: the image file, the size and checksum report ("-oi") and the listing ("-lf").
// It runs only after every pass succeeded.

namespace {

constexpr std::string_view kFullSize = "Full output size : %i bytes";
constexpr std::string_view kCodeSize = "Actual code output size : %i bytes.";
constexpr std::string_view kProgramSize = "   Programm code   size : %i bytes.";
constexpr std::string_view kDataSize = "   Allocated data  size : %i bytes.";
constexpr std::string_view kChecksum = "Checksum of actual code : %s";
constexpr std::string_view kDataKeywords[] = {TMq71R04_ASMParserObject::DataWordCommand,
                                               TMq71R04_ASMParserObject::DataByteCommand};
constexpr size_t kFillChunkWords = 8192;
constexpr size_t kListingBlockSize = 1 << 14;

// Output files go into the root project directory, named by its absolute path (rather than the
// root option's text again, which may be relative), or into the job's output directory.
std::string OutputPath(TMq71R04CompilerObject& job, const std::string& name) {
  if (job.OutputDirectory.empty()) return job.Files.Files().BaseDirectory() + "/" + name;
  return name.starts_with('/') ? name : job.OutputDirectory + "/" + name;
}

void WriteImage(OutputFile& file, const ProgramImage& image) {
  file.Write(image.Head);
  if (image.FillWordCount > 0) {
    // The chunk is no longer than the fill it writes: most limits ask for a few words only.
    const size_t chunkWords = static_cast<size_t>(
        std::min<int64_t>(image.FillWordCount, static_cast<int64_t>(kFillChunkWords)));
    std::string chunk(2 * chunkWords, '\0');
    for (size_t i = 0; i < chunk.size(); i += 2) {
      chunk[i] = static_cast<char>(image.FillWord & 0xff);
      chunk[i + 1] = static_cast<char>(image.FillWord >> 8);
    }
    for (int64_t left = image.FillWordCount; left > 0;) {
      const int64_t words = std::min<int64_t>(left, static_cast<int64_t>(chunkWords));
      file.Write(std::string_view(chunk).substr(0, 2 * static_cast<size_t>(words)));
      left -= words;
    }
  }
  file.Finish();
}

// The image's words (program, checksum, fill) in a memory format: the header, if any, is left
// out, and the bin format writes its own.
void WriteImageInFormat(OutputFile& file, const ProgramImage& image, const ImageFormat& format,
                        bool hasHeader) {
  const std::string_view bytes =
      std::string_view(image.Head).substr(hasHeader ? ImageHeaderSize : 0);
  std::vector<uint16_t> words;
  words.reserve(bytes.size() / 2 + static_cast<size_t>(image.FillWordCount));
  for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
    words.push_back(static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                          static_cast<unsigned char>(bytes[at + 1]) << 8));
  }
  words.insert(words.end(), static_cast<size_t>(image.FillWordCount), image.FillWord);
  file.Write(format.Write({words, static_cast<uint16_t>(bytes.size())}));
  file.Finish();
}

int CountDataRows(const TWorkTableObject& table) {
  int count = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    const std::string_view text = table.Cell(row, ColText);
    for (std::string_view keyword : kDataKeywords) {
      if (Contains(text, keyword)) {
        ++count;
        break;
      }
    }
  }
  return count;
}

// Capital hexadecimal digits, at least six, then "h".
std::string ChecksumText(uint32_t checksum) {
  return HexDigits(checksum, 6) + "h";
}

void PrintImageReport(OutputSink& out, const ProgramImage& image, const TWorkTableObject& table) {
  const int64_t rows = table.RowCount();
  const int64_t dataRows = CountDataRows(table);
  out.WriteLine(FormatMessage(kFullSize, {std::to_string(image.Size())}));
  out.WriteLine(FormatMessage(kCodeSize, {std::to_string(2 * rows)}));
  out.WriteLine(FormatMessage(kProgramSize, {std::to_string(2 * (rows - dataRows))}));
  out.WriteLine(FormatMessage(kDataSize, {std::to_string(2 * dataRows)}));
  out.WriteLine(FormatMessage(kChecksum, {ChecksumText(image.Checksum)}));
}

// The work table, one line per row: the eight columns joined by single blanks, CR LF after each
// (the table's DumpText layout). It is written in blocks as it is put together, rather than made
// into one text of the whole table first.
// One line of the listing onto the end of `block`: the row's cells already stand joined by
// blanks, so the line is the row's text and CR LF.
void AppendListingLine(std::string& block, const TWorkTableObject::Row& row) {
  block.append(row.Line()).append("\r\n");
}

void WriteListing(OutputFile& file, const TWorkTableObject& table) {
  std::string block;
  block.reserve(kListingBlockSize);
  for (const TWorkTableObject::Row& row : table.Rows()) {
    AppendListingLine(block, row);
    if (block.size() >= kListingBlockSize) {
      file.Write(block);
      block.clear();
    }
  }
  file.Write(block);
  file.Finish();
}

// The image and the listing replace their files only together, once both are complete, and
// neither may replace an input of the run or the other.
void CheckOutputPaths(RunFiles& files, const std::string& imagePath,
                      const std::string& listingPath) {
  files.RefuseInput(imagePath);
  if (listingPath.empty()) return;
  files.RefuseInput(listingPath);
  const auto image = files.Files().Identify(imagePath);
  if (listingPath == imagePath || (image && image == files.Files().Identify(listingPath))) {
    throw TranslatorError("Cannot create file " + listingPath +
                          ": the image and the listing are the same file");
  }
}

}  // namespace

int TMq71R04CompilerObject::WriteOutput() {
  const std::string imagePath = OutputPath(*this, OutputFileName);
  const std::string listingPath = ListFileName.empty() ? "" : OutputPath(*this, ListFileName);
  CheckOutputPaths(Files, imagePath, listingPath);
  const ProgramImage image = BuildProgramImage(*this);
  const std::unique_ptr<OutputFile> imageFile = Files.CreateOutput(imagePath);
  if (OutputFormat == nullptr) {
    WriteImage(*imageFile, image);
  } else {
    WriteImageInFormat(*imageFile, image, *OutputFormat, !RawImage);
  }
  if (ImageInfo) PrintImageReport(Out, image, *WorkTable);
  std::unique_ptr<OutputFile> listingFile;
  if (!listingPath.empty()) {
    listingFile = Files.CreateOutput(listingPath);
    WriteListing(*listingFile, *WorkTable);
  }
  imageFile->Commit();
  if (listingFile) listingFile->Commit();
  return 0;
}
