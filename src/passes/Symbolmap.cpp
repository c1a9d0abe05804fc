#include "passes/Symbolmap.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "driver/Compilerobject.h"
#include "passes/Labeltable.h"

namespace {

struct MapLine {
  int Address;
  std::string Text;
};

std::string HexAddress(int address) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(address));
  return digits;
}

std::string EditorPlace(std::string_view file, std::string_view line) {
  int number = 0;
  for (char c : line) {
    if (c < '0' || c > '9') return std::string(file) + ":" + std::string(line);
    number = number * 10 + (c - '0');
  }
  return std::string(file) + ":" + std::to_string(number + 1);
}

}  // namespace

std::string SymbolMapText(const TMq71R04CompilerObject& job) {
  const TWorkTableObject& table = *job.WorkTable;
  // Declarations come in row order, which is address order; the checksum label follows the
  // program.
  std::vector<MapLine> lines;
  for (const LabelDeclaration& label : CollectLabelDeclarations(table)) {
    std::string text = std::string(label.Name) + "\t" + HexAddress(label.Row) + "\t" +
                       EditorPlace(table.Cell(label.Row, ColFile), table.Cell(label.Row, ColLine));
    if (job.LabelNames.Generated(label.Name)) text += "\tmacro";
    lines.push_back({label.Row, std::move(text)});
  }
  if (!job.ChecksumLabel.empty()) {
    lines.push_back(
        {table.RowCount(), job.ChecksumLabel + "\t" + HexAddress(table.RowCount()) + "\t-"});
  }
  std::string map;
  for (const MapLine& line : lines) map += line.Text + "\n";
  return map;
}
