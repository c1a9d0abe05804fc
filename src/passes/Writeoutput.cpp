#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
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
constexpr std::string_view kDataKeywords[] = {"DATA_WORD_ALLOCATION", "DATA_BYTE_ALLOCATION"};
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
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(checksum));
  return std::string(digits) + "h";
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
  WriteImage(*imageFile, image);
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
