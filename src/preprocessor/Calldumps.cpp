#include "preprocessor/Calldumps.h"

#include <algorithm>

#include "driver/Compilerobject.h"
#include "preprocessor/Fileaccess.h"

// Note [held-back dumps]
// Each macro call rewrites "sa.txt" with the whole table, so writing it at every call would
// make a program whose files each call a macro write the table once per file. Only the content
// of the last call remains, so a dump is held back and written when the pass ends; and, since
// the run reads what it reads from disk, before a source or include file that is the dump is
// read. What must stay as it is, is where a dump that cannot be written ends the run: at the
// first call that writes it. Whether it can be written changes only when the run has read it,
// so a dump is written at once the first time, and again at the first call after it was read.

void CallDumps::WriteTable(std::string_view text) {
  Write(table_, text);
}

void CallDumps::HoldTable(TableSnapshot snapshot) {
  table_.held = true;
  table_.text.clear();
  snapshot_ = std::move(snapshot);
}

void CallDumps::DetachTableFrom(size_t row) {
  if (!table_.held) return;
  if (snapshot_) {
    if (row >= snapshot_->rowsEnd) return;
    sharedRows_ = std::min(row, snapshot_->rowsBefore);
    table_.text = SnapshotText(sharedRows_);
    snapshot_.reset();
    return;
  }
  if (row >= sharedRows_) return;
  const std::vector<WorkTableRow>& rows = job_.WorkTable->Rows();
  size_t size = table_.text.size();
  for (size_t r = row; r < sharedRows_; ++r) size += rows[r].Line().size() + 2;
  std::string detached;
  detached.reserve(size);
  for (size_t r = row; r < sharedRows_; ++r) AppendDumpLine(detached, rows[r]);
  detached += table_.text;
  table_.text = std::move(detached);
  sharedRows_ = row;
}

void CallDumps::Body(std::string text) {
  if (!body_.written) return Write(body_, text);
  body_.held = true;
  body_.text = std::move(text);
}

bool CallDumps::ReadInput(std::string_view name, std::string& bytes) {
  if (table_.written || body_.written) {
    const std::optional<FileIdentity> file = IdentifyFile(job_, name);
    for (Dump* dump : {&table_, &body_}) {
      if (!dump->written || !file || dump->file != file) continue;
      WriteHeld(*dump);
      dump->written = false;
    }
  }
  return ReadInputFile(job_, name, bytes);
}

void CallDumps::Flush() {
  WriteHeld(table_);
  WriteHeld(body_);
}

// The snapshot's text from table row `from` on.
std::string CallDumps::SnapshotText(size_t from) const {
  const std::vector<WorkTableRow>& rows = job_.WorkTable->Rows();
  const TableSnapshot& snapshot = *snapshot_;
  // Calls visit(row, text as read) for a row whose text the walk changed, else visit(row).
  auto visitRows = [&](auto visit) {
    for (size_t r = from; r < snapshot.rowsBefore; ++r) visit(rows[r]);
    visit(snapshot.callRow);
    auto asRead = snapshot.textsAsRead.begin();
    for (size_t r = snapshot.unreadAt; r < snapshot.rowsEnd; ++r) {
      if (asRead != snapshot.textsAsRead.end() && asRead->first == r) {
        visit(rows[r], std::string_view((asRead++)->second));
      } else {
        visit(rows[r]);
      }
    }
  };
  size_t size = 0;
  visitRows([&](const WorkTableRow& row, std::optional<std::string_view> text = std::nullopt) {
    size += row.Line().size() + 2 + (text ? text->size() - row[ColText].size() : 0);
  });
  std::string dump;
  dump.reserve(size);
  visitRows([&](const WorkTableRow& row, std::optional<std::string_view> text = std::nullopt) {
    if (!text) return AppendDumpLine(dump, row);
    const std::string_view line = row.Line();
    const std::string_view cell = row[ColText];
    const size_t cellStart = static_cast<size_t>(cell.data() - line.data());
    dump.append(line.substr(0, cellStart)).append(*text);
    dump.append(line.substr(cellStart + cell.size())).append("\r\n");
  });
  return dump;
}

void CallDumps::Write(Dump& dump, std::string_view text) {
  WriteDumpFile(job_, dump.name, text);
  dump.written = true;
  dump.file = IdentifyFile(job_, dump.name);
  dump.held = false;
  dump.text.clear();
  if (&dump == &table_) snapshot_.reset();
}

void CallDumps::WriteHeld(Dump& dump) {
  if (!dump.held) return;
  if (&dump == &table_) DetachTableFrom(0);
  Write(dump, dump.text);
}
