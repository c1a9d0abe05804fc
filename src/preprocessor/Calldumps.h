#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Filesystem.h"
#include "worktable/Worktablerow.h"

class TMq71R04CompilerObject;

// The work table as a macro call saw it, told by rows of the table: its rows [0, rowsBefore),
// the call row, and the rows the call had not yet read, which the table holds from `unreadAt`
// to `rowsEnd`. The texts a walk has changed in those since are noted, by row, as they were.
struct TableSnapshot {
  size_t rowsBefore = 0;
  WorkTableRow callRow;
  size_t unreadAt = 0;
  size_t rowsEnd = 0;
  std::vector<std::pair<size_t, std::string>> textsAsRead;
};

// The two dump files that every macro call rewrites: "sa.txt", the work table as the call finds
// it, and "MacrosBody.txt", the call's expanded body. Only the last content of each is left
// behind, so a dump is written at once only where a failure to write it must end the run at
// that call, and is otherwise held back; see Note [held-back dumps].
class CallDumps {
 public:
  static constexpr std::string_view kTableName = "sa.txt";
  static constexpr std::string_view kBodyName = "MacrosBody.txt";

  explicit CallDumps(TMq71R04CompilerObject& job) : job_(job) {}

  // True when the table dump of a call must be written at once.
  bool TableDue() const { return !table_.written; }
  // The table dump of a call, written at once.
  void WriteTable(std::string_view text);
  // The table dump of a call, held back; the rows it tells of must not change until the dump
  // is written or detached from them.
  void HoldTable(TableSnapshot snapshot);
  // Before rows from `row` on change: a held-back table dump takes its own copy of them.
  void DetachTableFrom(size_t row);

  // The body dump of an expansion: written at once when due, otherwise held back.
  void Body(std::string text);

  // Reads a source or include file. A held-back dump that the name leads to is written first,
  // so that what is read is what the run left there; a dump read is due again at the next
  // call.
  bool ReadInput(std::string_view name, std::string& bytes);
  // Writes the dumps held back.
  void Flush();

 private:
  struct Dump {
    std::string_view name;
    bool written = false;  // written once, and not read since
    std::optional<FileIdentity> file;  // the file written
    bool held = false;
    std::string text;  // while held: the text, behind the shared rows for the table
  };
  void Write(Dump& dump, std::string_view text);
  void WriteHeld(Dump& dump);
  std::string SnapshotText(size_t from) const;

  TMq71R04CompilerObject& job_;
  Dump table_{kTableName, false, std::nullopt, false, {}};
  Dump body_{kBodyName, false, std::nullopt, false, {}};
  // The table dump held back: the snapshot, or the table's rows [0, sharedRows_) and then the
  // text of table_.
  std::optional<TableSnapshot> snapshot_;
  size_t sharedRows_ = 0;
};
