#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Filesystem.h"

class TMq71R04CompilerObject;

// A stretch of a dump held back: rows of the work table as they stand, or a stretch of the
// dump's own text.
struct DumpPiece {
  size_t FirstRow = 0;
  size_t RowCount = 0;
  size_t TextStart = 0;  // when the stretch holds no rows
  size_t TextSize = 0;

  static DumpPiece Rows(size_t first, size_t count) { return {first, count, 0, 0}; }
  static DumpPiece Text(size_t start, size_t size) { return {0, 0, start, size}; }
  bool HoldsRows() const { return RowCount > 0; }
  size_t EndRow() const { return FirstRow + RowCount; }
};

// A dump held back: its pieces in order, and the text that its text pieces are stretches of.
struct HeldDump {
  std::vector<DumpPiece> Pieces;
  std::string Text;
};

// The two dump files that every macro call rewrites: "sa.txt", the work table as the call finds
// it, and "MacrosBody.txt", the call's expanded body. Only the last content of each is left
// behind, so the content of a dump is held back until the pass ends; see Note [held-back dumps].
class CallDumps {
 public:
  static constexpr std::string_view kTableName = "sa.txt";
  static constexpr std::string_view kBodyName = "MacrosBody.txt";

  explicit CallDumps(TMq71R04CompilerObject& job) : job_(job) {}

  // A call rewrites the table dump; its content follows with HoldTable. Throws as
  // RunFiles::CreateDump when the dump's file cannot be created.
  void TableCall() { Open(table_); }
  // The table dump of the last call. The table's rows that its pieces name must not change until
  // the dump is written or detached from them, and lie in row order.
  void HoldTable(HeldDump dump);
  // Before rows from `row` on change: a held-back table dump takes its own copy of them.
  void DetachTableFrom(size_t row);

  // The body dump of an expansion; throws as TableCall.
  void Body(std::string text);

  // Reads a source or include file. Where the name leads to a dump, the dump held back is put
  // in place first, so that what is read is what the run left there.
  bool ReadInput(std::string_view name, std::string& bytes);
  // Puts the dumps held back in place.
  void Flush();

 private:
  struct Dump {
    std::string_view name;
    // Created at the call that found the dump due, until it is put in place; and the file that
    // stood under the name then.
    std::unique_ptr<OutputFile> opened;
    std::optional<FileIdentity> replaced;
    // The file put in place, until the run reads it.
    std::optional<FileIdentity> file;
    HeldDump held;  // the content held back
  };
  void Open(Dump& dump);
  // True when what stands under `identity` is, or is to be replaced by, the dump.
  static bool LeadsTo(const Dump& dump, const FileIdentity& identity) {
    return dump.file == identity || (dump.opened && dump.replaced == identity);
  }
  // False when there was nothing to put in place.
  bool PutInPlace(Dump& dump);
  void Write(OutputFile& file, const HeldDump& held) const;

  TMq71R04CompilerObject& job_;
  Dump table_{kTableName, nullptr, std::nullopt, std::nullopt, {}};
  Dump body_{kBodyName, nullptr, std::nullopt, std::nullopt, {}};
  size_t sharedRows_ = 0;  // the table dump names no row from here on
};
