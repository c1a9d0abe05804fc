#include "preprocessor/Calldumps.h"

#include "driver/Compilerobject.h"

// Note [held-back dumps]
// Each macro call rewrites "sa.txt" with the whole table, so writing it at every call would
// make a program whose files each call a macro write the table once per file. Only the content
// of the last call remains, so a dump is held back and written when the pass ends; and, since
// the run reads what it reads from disk, before a source or include file that is the dump is
// read. What must stay as it is, is where a dump that cannot be written ends the run: at the
// first call that writes it. Whether it can be written changes only when the run has read it,
// so a dump is written at once the first time, and again at the first call after it was read.

void CallDumps::WriteTable(std::string_view text) {
  Write(table_, {text});
}

void CallDumps::HoldTable(size_t sharedRows, std::vector<std::string> texts) {
  table_.pieces = std::move(texts);
  sharedRows_ = sharedRows;
}

void CallDumps::DetachTableFrom(size_t row) {
  if (!Held(table_) || row >= sharedRows_) return;
  const std::vector<WorkTableRow>& rows = job_.WorkTable->Rows();
  size_t size = 0;
  for (size_t r = row; r < sharedRows_; ++r) size += rows[r].Line().size() + 2;
  std::string detached;
  detached.reserve(size);
  for (size_t r = row; r < sharedRows_; ++r) AppendDumpLine(detached, rows[r]);
  table_.pieces.insert(table_.pieces.begin(), std::move(detached));
  sharedRows_ = row;
}

void CallDumps::Body(std::string text) {
  if (!body_.written) return Write(body_, {text});
  body_.pieces.clear();
  body_.pieces.push_back(std::move(text));
}

bool CallDumps::ReadInput(std::string_view name, std::string& bytes) {
  if (table_.written || body_.written) {
    const std::optional<FileIdentity> file = job_.Files.Files().Identify(name);
    for (Dump* dump : {&table_, &body_}) {
      if (!dump->written || !file || dump->file != file) continue;
      WriteHeld(*dump);
      dump->written = false;
    }
  }
  return job_.Files.ReadInput(name, bytes);
}

void CallDumps::Flush() {
  WriteHeld(table_);
  WriteHeld(body_);
}

void CallDumps::Write(Dump& dump, const std::vector<std::string_view>& pieces) {
  const std::unique_ptr<OutputFile> file = job_.Files.CreateDump(dump.name);
  for (std::string_view piece : pieces) file->Write(piece);
  file->Commit();
  dump.written = true;
  dump.file = job_.Files.Files().Identify(dump.name);
  dump.pieces.clear();
}

void CallDumps::WriteHeld(Dump& dump) {
  if (!Held(dump)) return;
  if (&dump == &table_) DetachTableFrom(0);
  Write(dump, std::vector<std::string_view>(dump.pieces.begin(), dump.pieces.end()));
}
