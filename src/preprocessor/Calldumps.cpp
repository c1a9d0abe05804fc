#include "preprocessor/Calldumps.h"

#include <algorithm>
#include <memory>

#include "driver/Compilerobject.h"

// Note [held-back dumps]
// Each macro call rewrites "sa.txt" with the whole table, so writing it at every call would
// make a program whose files each call a macro write the table once per file. Only the content
// of the last call remains, so the content is held back and put in place when the pass ends;
// and, since the run reads what it reads from disk, before a source or include file that is the
// dump is read. What must stay as it is, is where a dump that cannot be created ends the run:
// at the first call that writes it. Whether it can be created changes only when the run has read
// it, so a dump's file is created at the first call and again at the first call after it was
// read; it takes the content held back when it is put in place. A full disk, like any write
// error, may show only then, as it could at any later call.
//
// The table dump is mostly rows of the table that no later walk changes, so it names them rather
// than copying them, and they are copied only when they are about to change (DetachTableFrom) or
// when the dump is written.

void CallDumps::HoldTable(HeldDump dump) {
  table_.held = std::move(dump);
  sharedRows_ = 0;
  for (const DumpPiece& piece : table_.held.Pieces) {
    if (piece.HoldsRows()) sharedRows_ = piece.EndRow();
  }
}

void CallDumps::DetachTableFrom(size_t row) {
  if (row >= sharedRows_) return;
  std::vector<DumpPiece>& pieces = table_.held.Pieces;
  std::string& text = table_.held.Text;
  // The pieces behind the last one that ends with rows before `row` become one stretch of text
  // at the end of the dump's text. Rows copied once are never named again, so a dump's rows are
  // copied at most once.
  size_t first = pieces.size();
  while (first > 0 && !(pieces[first - 1].HoldsRows() && pieces[first - 1].EndRow() <= row)) {
    --first;
  }
  if (first == pieces.size()) return;
  if (pieces[first].HoldsRows() && pieces[first].FirstRow < row) {
    const DumpPiece straddling = pieces[first];
    pieces[first] = DumpPiece::Rows(straddling.FirstRow, row - straddling.FirstRow);
    pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(++first),
                  DumpPiece::Rows(row, straddling.EndRow() - row));
  }
  const std::vector<WorkTableRow>& rows = job_.WorkTable->Rows();
  std::string stretch;
  for (size_t p = first; p < pieces.size(); ++p) {
    const DumpPiece& piece = pieces[p];
    stretch.append(text, piece.TextStart, piece.TextSize);
    for (size_t r = piece.FirstRow; r < piece.EndRow(); ++r) AppendDumpLine(stretch, rows[r]);
  }
  pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(first), pieces.end());
  pieces.push_back(DumpPiece::Text(text.size(), stretch.size()));
  text.append(stretch);
  sharedRows_ = row;
}

void CallDumps::Body(std::string text) {
  Open(body_);
  const size_t size = text.size();
  body_.held = HeldDump{{DumpPiece::Text(0, size)}, std::move(text)};
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
  if (dump.held.Pieces.empty()) return false;
  const std::unique_ptr<OutputFile> file =
      dump.opened ? std::move(dump.opened) : job_.Files.CreateDump(dump.name);
  Write(*file, dump.held);
  file->Commit();
  dump.file = job_.Files.Files().Identify(dump.name);
  dump.replaced.reset();
  dump.held = HeldDump();
  if (&dump == &table_) sharedRows_ = 0;
  return true;
}

// The dump goes out through a block of bounded size, so that a large table is not copied whole.
void CallDumps::Write(OutputFile& file, const HeldDump& held) const {
  constexpr size_t kBlockSize = 1 << 16;
  constexpr std::string_view kLineEnd = "\r\n";
  const std::vector<WorkTableRow>& rows = job_.WorkTable->Rows();
  // Not cleared first: a small dump touches no more of it than it fills.
  const std::unique_ptr<char[]> block = std::make_unique_for_overwrite<char[]>(kBlockSize);
  size_t used = 0;
  auto append = [&](std::string_view text) {
    std::copy(text.begin(), text.end(), block.get() + used);
    used += text.size();
  };
  auto put = [&](std::string_view text, bool isLine) {
    const size_t size = text.size() + (isLine ? kLineEnd.size() : 0);
    if (used + size > kBlockSize) {
      file.Write({block.get(), used});
      used = 0;
    }
    if (size > kBlockSize) {  // a long stretch goes out as it is
      file.Write(text);
      if (isLine) file.Write(kLineEnd);
      return;
    }
    append(text);
    if (isLine) append(kLineEnd);
  };
  for (const DumpPiece& piece : held.Pieces) {
    if (!piece.HoldsRows()) {
      put(std::string_view(held.Text).substr(piece.TextStart, piece.TextSize), false);
    }
    for (size_t r = piece.FirstRow; r < piece.EndRow(); ++r) put(rows[r].Line(), true);
  }
  file.Write({block.get(), used});
}
