#include "preprocessor/Tablewalk.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Calldumps.h"
#include "preprocessor/Macroexpansion.h"
#include "preprocessor/Macrosobject.h"
#include "preprocessor/Preprocessormessages.h"
#include "support/Textutils.h"

// Note [walk in place]
// The walk reads the rows in order, and rows before the current one never change again within
// a walk. So it writes what becomes of each row over the rows it has read: the table is the rows
// finished, a gap of rows already read, the current row (held aside) and the unread rows. An
// expansion that needs more room than the gap has opens a wider gap in front of the unread rows;
// the gap left at the end is cut off. The "sa.txt" of a call is the rows finished, the call row
// and the unread rows.
//
// Only the last call's "sa.txt" is left behind (Note [held-back dumps]), and it names rows of the
// table rather than copying them. Its rows before the call stay where they are. Of the rows read
// behind the call, most are passed on unchanged: the dump names the finished row. The others
// (substituted, calls, drawn in) are copied as they were read. The rows left unread are named
// where they end up.

namespace {

using Row = WorkTableRow;
namespace PM = PreprocessorMessages;

std::string DumpText(const std::vector<Row>& rows) {
  std::string text;
  for (const Row& row : rows) AppendDumpLine(text, row);
  return text;
}

}  // namespace

// One walk over the table; see Note [walk in place].
class TableWalk {
 public:
  TableWalk(TableWalker& walker, size_t start)
      : walker_(walker),
        job_(walker.job_),
        parser_(TMq71R04_ASMParserObject::Bare(job_.Out)),
        macros_(*job_.Macros),
        start_(start),
        written_(start),
        read_(start),
        settled_(start) {}

  // Returns the rows at the start of the table that the next walk need not read again.
  size_t Run();

 private:
  // The row being walked; a later walk may change it when its text changed or it is a call.
  struct Current {
    Row row;
    bool mayChange = false;
  };
  enum class CallOutcome { NotExpanded, Expanded, DrewIn, Vanished, Refused };

  void WalkNext();
  void WalkCall(Current current);
  CallOutcome Call(TMacrosObject& definition, Current& current, const std::string& labels);
  CallOutcome DrawInNext(Current& current, const std::string& labels);
  DefineList::Outcome Substitute(std::string_view text);
  void Refuse(const Row& row);
  size_t TableRowsWith(size_t bodyRows) const {
    return written_ + bodyRows + (rows_.size() - read_);
  }

  Row& Read() { return rows_[read_++]; }
  // What a row read behind the walk's last call was, for its "sa.txt": the finished row it
  // became unchanged, or the row as read before it changes.
  void PassedOnUnchanged(size_t finishedRow) {
    if (!heldCall_) return;
    std::vector<DumpPiece>& pieces = heldCall_->readSince.Pieces;
    if (!pieces.empty() && pieces.back().HoldsRows() && pieces.back().EndRow() == finishedRow) {
      ++pieces.back().RowCount;
    } else {
      pieces.push_back(DumpPiece::Rows(finishedRow, 1));
    }
  }
  void ChangesFrom(const Row& row);
  void Emit(Row row, bool mayChange);
  void Finished(bool mayChange) {
    if (settled_ == written_ && !mayChange) ++settled_;
    ++written_;
  }
  void CloseGap() { rows_.erase(rows_.begin() + written_, rows_.begin() + read_); }

  void TableDumpAtCall(const Row& callRow);
  void HoldTableDump();

  TableWalker& walker_;
  TMq71R04CompilerObject& job_;
  const TMq71R04_ASMParserObject parser_;
  const MacroDirectory macros_;
  std::vector<Row> rows_;
  const size_t start_;
  size_t written_;  // rows finished
  size_t read_;     // rows read; rows_[written_, read_) is the gap
  size_t settled_;  // rows finished that cannot change, all of them from the start
  std::string substituted_;
  // The "sa.txt" of the walk's last call: the rows finished before it, the call row's line, and
  // what the rows read since were.
  struct HeldCall {
    size_t rowsBefore = 0;
    std::string callLine;
    HeldDump readSince;
  };
  std::optional<HeldCall> heldCall_;
};

size_t TableWalk::Run() {
  rows_ = job_.WorkTable->TakeRows();
  try {
    while (!walker_.refused_ && read_ < rows_.size()) WalkNext();
  } catch (...) {
    // The run ends with the error; the dumps held back are written with the rows finished.
    CloseGap();
    HoldTableDump();
    job_.WorkTable->ReplaceRows(std::move(rows_));
    throw;
  }
  CloseGap();
  HoldTableDump();
  job_.WorkTable->ReplaceRows(std::move(rows_));
  return settled_;
}

// Most rows call no macro: the row read is substituted where it stands and passed on to the
// finished rows.
void TableWalk::WalkNext() {
  Row& row = Read();
  bool changed = false;
  switch (Substitute(row[ColText])) {
    case DefineList::Outcome::Unchanged:
      break;
    case DefineList::Outcome::Changed:
      ChangesFrom(row);
      row.Set(ColText, substituted_);
      changed = true;
      break;
    case DefineList::Outcome::TooLarge:
      Refuse(row);
      break;
  }
  if (!walker_.refused_ && macros_.CalledBy(parser_, row[ColText]) != nullptr) {
    if (!changed) ChangesFrom(row);
    return WalkCall(Current{std::move(row), true});
  }
  if (!changed) PassedOnUnchanged(written_);
  if (written_ != read_ - 1) rows_[written_] = std::move(row);
  Finished(changed);
}

// A row that calls a macro, its #define symbols substituted: every definition it calls, in list
// order. After an expansion the next definition is compared with the same command but works
// on the last body row; a row that an empty body draws in is walked like a row read.
void TableWalk::WalkCall(Current current) {
  while (true) {
    const std::vector<TMacrosObject*>* definitions =
        macros_.CalledBy(parser_, current.row[ColText]);
    if (definitions == nullptr) return Emit(std::move(current.row), current.mayChange);
    const std::string labels = CallLabels(current.row[ColText]);
    CallOutcome outcome = CallOutcome::NotExpanded;
    for (TMacrosObject* definition : *definitions) {
      outcome = Call(*definition, current, labels);
      if (outcome != CallOutcome::NotExpanded && outcome != CallOutcome::Expanded) break;
    }
    if (outcome == CallOutcome::Vanished) return;
    if (outcome != CallOutcome::DrewIn) return Emit(std::move(current.row), current.mayChange);
    switch (Substitute(current.row[ColText])) {
      case DefineList::Outcome::Unchanged:
        break;
      case DefineList::Outcome::Changed:
        current.row.Set(ColText, substituted_);
        current.mayChange = true;
        break;
      case DefineList::Outcome::TooLarge:
        Refuse(current.row);
        return Emit(std::move(current.row), current.mayChange);
    }
  }
}

TableWalk::CallOutcome TableWalk::Call(TMacrosObject& definition, Current& current,
                                       const std::string& labels) {
  TableDumpAtCall(current.row);
  current.mayChange = true;
  std::optional<std::vector<std::string>> arguments = CallArguments(parser_, current.row);
  if (!arguments) return CallOutcome::NotExpanded;
  if (TableRowsWith(definition.RowCount()) > walker_.sourceRows_ + walker_.budget_.rows) {
    Refuse(current.row);
    return CallOutcome::Refused;
  }
  std::vector<Row> body = ExpandedBody(job_, definition, std::move(*arguments), current.row);
  walker_.dumps_.Body(DumpText(body));
  if (body.empty()) return DrawInNext(current, labels);
  if (!labels.empty()) body.front().Set(ColText, labels + std::string(body.front()[ColText]));
  for (size_t i = 0; i + 1 < body.size(); ++i) Emit(std::move(body[i]), true);
  current = Current{std::move(body.back()), true};
  return CallOutcome::Expanded;
}

// The call vanished with its empty body. Its labels go in front of the next row, which is walked
// in its place; the last row keeps its labels alone.
TableWalk::CallOutcome TableWalk::DrawInNext(Current& current, const std::string& labels) {
  if (read_ < rows_.size()) {
    ChangesFrom(rows_[read_]);
    current = Current{std::move(Read()), false};
    if (!labels.empty()) {
      current.row.Set(ColText, labels + std::string(current.row[ColText]));
      current.mayChange = true;
    }
    return CallOutcome::DrewIn;
  }
  if (labels.empty()) return CallOutcome::Vanished;
  current.row.Set(ColText, labels);
  return CallOutcome::DrewIn;
}

// The text with its #define symbols substituted goes to substituted_. Too large: the row is to
// stay as it is.
DefineList::Outcome TableWalk::Substitute(std::string_view text) {
  if (job_.Defines->Count() == 0) return DefineList::Outcome::Unchanged;
  const size_t limit = std::max(walker_.budget_.textBytes, text.size());
  return job_.Defines->Substitute(text, limit, substituted_);
}

void TableWalk::Refuse(const Row& row) {
  job_.Out.Report(PM::ExpansionTooLarge, SourcePlace::At(row[ColFile], row[ColLine]));
  walker_.refused_ = true;
}

void TableWalk::Emit(Row row, bool mayChange) {
  if (written_ == read_) {
    // Room for an eighth of the unread rows more at a time: moving them costs at most eight
    // moves for each row of room, so the walk stays linear however much it expands.
    const size_t gap = std::max<size_t>(16, (rows_.size() - read_) / 8);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(read_), gap, Row());
    read_ += gap;
  }
  rows_[written_] = std::move(row);
  Finished(mayChange);
}

// "sa.txt" is held back (Note [held-back dumps]); see Note [walk in place].
void TableWalk::TableDumpAtCall(const Row& callRow) {
  walker_.dumps_.TableCall();
  std::string callLine;
  AppendDumpLine(callLine, callRow);
  heldCall_ = HeldCall{written_, std::move(callLine), HeldDump()};
}

void TableWalk::ChangesFrom(const Row& row) {
  if (!heldCall_) return;
  HeldDump& readSince = heldCall_->readSince;
  const size_t start = readSince.Text.size();
  AppendDumpLine(readSince.Text, row);
  std::vector<DumpPiece>& pieces = readSince.Pieces;
  if (!pieces.empty() && !pieces.back().HoldsRows()) {
    pieces.back().TextSize += readSince.Text.size() - start;
  } else {
    pieces.push_back(DumpPiece::Text(start, readSince.Text.size() - start));
  }
}

// After the gap is closed: the rows left unread follow the rows finished.
void TableWalk::HoldTableDump() {
  if (!heldCall_) return;
  HeldDump dump = std::move(heldCall_->readSince);
  std::vector<DumpPiece> before;
  if (heldCall_->rowsBefore > 0) before.push_back(DumpPiece::Rows(0, heldCall_->rowsBefore));
  before.push_back(DumpPiece::Text(dump.Text.size(), heldCall_->callLine.size()));
  dump.Text.append(heldCall_->callLine);
  dump.Pieces.insert(dump.Pieces.begin(), before.begin(), before.end());
  if (written_ < rows_.size()) {
    dump.Pieces.push_back(DumpPiece::Rows(written_, rows_.size() - written_));
  }
  walker_.dumps_.HoldTable(std::move(dump));
  heldCall_.reset();
}

void TableWalker::Walk() {
  if (refused_) return;
  const int defines = job_.Defines->Count();
  const size_t macros = job_.Macros->size();
  if (defines != definesWalked_ || macros != macrosWalked_) settledRows_ = 0;
  definesWalked_ = defines;
  macrosWalked_ = macros;
  dumps_.DetachTableFrom(settledRows_);
  settledRows_ = TableWalk(*this, settledRows_).Run();
}
