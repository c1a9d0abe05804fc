#include "preprocessor/Calldumps.h"

#include "driver/Compilerobject.h"

// Note [held-back dumps]
// Each macro call rewrites "sa.txt" with the whole table, so writing it at every call would
// make a program whose files each call a macro write the table once per file. Only the content
// of the last call remains, so the text is held back and put in place when the pass ends; and,
// since the run reads what it reads from disk, before a source or include file that is the dump
// is read. What must stay as it is, is where a dump that cannot be created ends the run: at the
// first call that writes it. Whether it can be created changes only when the run has read it, so
// a dump's file is created at the first call and again at the first call after it was read; it
// takes the text held back when it is put in place. A full disk, like any write error, may show
// only then, as it could at any later call.

void CallDumps::HoldTable(size_t sharedRows, std::vector<std::string> texts) {
  table_.pieces = std::move(texts);
  sharedRows_ = sharedRows;
}

void CallDumps::DetachTableFrom(size_t row) {
  if (table_.pieces.empty() || row >= sharedRows_) return;
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
  Open(body_);
  body_.pieces.clear();
  body_.pieces.push_back(std::move(text));
}

bool CallDumps::ReadInput(std::string_view name, std::string& bytes) {
  FileSystem& files = job_.Files.Files();
  FileIdentity identity;
  bool found = files.ReadFile(name, bytes, identity);
  // A name that leads nowhere may lead to a dump not yet put in place.
  bool put = false;
  for (Dump* dump : {&table_, &body_}) {
    if (found ? LeadsTo(*dump, identity) : dump->opened != nullptr) put |= PutInPlace(*dump);
  }
  if (put) found = files.ReadFile(name, bytes, identity);
  if (!found) return false;
  for (Dump* dump : {&table_, &body_}) {
    if (dump->file == identity) dump->file.reset();  // read: due again at the next call
  }
  job_.Files.RememberInput(name, identity);
  return true;
}

void CallDumps::Flush() {
  PutInPlace(table_);
  PutInPlace(body_);
}

void CallDumps::Open(Dump& dump) {
  if (dump.opened || dump.file) return;
  dump.replaced = job_.Files.Files().Identify(dump.name);
  dump.opened = job_.Files.CreateDump(dump.name);
}

bool CallDumps::PutInPlace(Dump& dump) {
  if (dump.pieces.empty()) return false;
  if (&dump == &table_) DetachTableFrom(0);
  const std::unique_ptr<OutputFile> file =
      dump.opened ? std::move(dump.opened) : job_.Files.CreateDump(dump.name);
  for (const std::string& piece : dump.pieces) file->Write(piece);
  file->Commit();
  dump.file = job_.Files.Files().Identify(dump.name);
  dump.replaced.reset();
  dump.pieces.clear();
  return true;
}
