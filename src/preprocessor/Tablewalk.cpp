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
// Only the last call's "sa.txt" is left behind (Note [held-back dumps]). Its rows before the call
// stay where they are, and the rows then unread are walked on, each to one finished row, whose
// text the walk may change: the text as read is noted for the dump.

namespace {

using Row = WorkTableRow;
namespace PM = PreprocessorMessages;

size_t DumpLineSize(const Row& row) {
  return row.Line().size() + 2;
}

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
  // The row being walked.
  struct Current {
    Current() = default;
    Current(Row walked, bool changeable) : row(std::move(walked)), mayChange(changeable) {}

    Row row;
    bool mayChange = false;     // a later walk may change it: its text changed, or it is a call
    bool readAfterCall = false;  // unread at the last call, whose dump shows its text as read
    std::optional<std::string> textAsRead;
  };
  enum class CallOutcome { NotExpanded, Expanded, DrewIn, Vanished, Refused };

  bool PassOn();
  void WalkCall(Current current);
  CallOutcome Call(TMacrosObject& definition, Current& current, const std::string& labels);
  CallOutcome DrawInNext(Current& current, const std::string& labels);
  DefineList::Outcome Substitute(std::string_view text);
  void SetText(Current& current, std::string_view text);
  void Refuse(const Row& row);
  size_t TableRowsWith(size_t bodyRows) const {
    return written_ + bodyRows + (rows_.size() - read_);
  }

  bool TakeUnread(Current& current);
  void Emit(Current current);
  void Emit(Row row, bool mayChange);
  void Finished(bool mayChange) {
    if (settled_ == written_ && !mayChange) ++settled_;
    ++written_;
  }
  void CloseGap() { rows_.erase(rows_.begin() + written_, rows_.begin() + read_); }

  void TableDumpAtCall(const Row& callRow);
  void HoldSnapshot();

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
  // The table as the walk's last call saw it, while it is held back: the rows then unread are
  // the finished rows from `unreadAt` on (when one has been read since) and the rows still
  // unread.
  bool snapshotTaken_ = false;
  std::optional<size_t> unreadAt_;
  TableSnapshot snapshot_;
};

size_t TableWalk::Run() {
  rows_ = job_.WorkTable->TakeRows();
  try {
    while (!walker_.refused_ && read_ < rows_.size()) {
      if (PassOn()) continue;
      Current current;
      TakeUnread(current);
      WalkCall(std::move(current));
    }
  } catch (...) {
    // The run ends with the error, and the dumps held back are written from the table.
    CloseGap();
    HoldSnapshot();
    job_.WorkTable->ReplaceRows(std::move(rows_));
    throw;
  }
  CloseGap();
  HoldSnapshot();
  job_.WorkTable->ReplaceRows(std::move(rows_));
  return settled_;
}

// Most rows call no macro: the row read next is substituted where it stands and passed on to
// the finished rows. False, with the row substituted, when it calls one.
bool TableWalk::PassOn() {
  Row& row = rows_[read_];
  if (snapshotTaken_ && !unreadAt_) unreadAt_ = written_;
  bool changed = false;
  switch (Substitute(row[ColText])) {
    case DefineList::Outcome::Unchanged:
      break;
    case DefineList::Outcome::Changed:
      if (snapshotTaken_) snapshot_.textsAsRead.emplace_back(written_, row[ColText]);
      row.Set(ColText, substituted_);
      changed = true;
      break;
    case DefineList::Outcome::TooLarge:
      Refuse(row);
      break;
  }
  if (!walker_.refused_ && macros_.CalledBy(parser_, row[ColText]) != nullptr) return false;
  if (written_ != read_) rows_[written_] = std::move(row);
  ++read_;
  Finished(changed);
  return true;
}

// A row that calls a macro, its #define symbols substituted: every definition it calls, in list
// order. After an expansion the next definition is compared with the same command but works
// on the last body row; a row that an empty body draws in is walked like a row read.
void TableWalk::WalkCall(Current current) {
  while (true) {
    const std::vector<TMacrosObject*>* definitions = macros_.CalledBy(parser_, current.row[ColText]);
    if (definitions == nullptr) return Emit(std::move(current));
    const std::string labels = CallLabels(current.row[ColText]);
    CallOutcome outcome = CallOutcome::NotExpanded;
    for (TMacrosObject* definition : *definitions) {
      outcome = Call(*definition, current, labels);
      if (outcome != CallOutcome::NotExpanded && outcome != CallOutcome::Expanded) break;
    }
    if (outcome == CallOutcome::Vanished) return;
    if (outcome != CallOutcome::DrewIn) return Emit(std::move(current));
    switch (Substitute(current.row[ColText])) {
      case DefineList::Outcome::Unchanged:
        break;
      case DefineList::Outcome::Changed:
        SetText(current, substituted_);
        break;
      case DefineList::Outcome::TooLarge:
        Refuse(current.row);
        return Emit(std::move(current));
    }
  }
}

TableWalk::CallOutcome TableWalk::Call(TMacrosObject& definition, Current& current,
                                       const std::string& labels) {
  TableDumpAtCall(current.row);
  current = Current(std::move(current.row), true);
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
  current = Current(std::move(body.back()), true);
  return CallOutcome::Expanded;
}

// The call vanished with its empty body. Its labels go in front of the next row, which is walked
// in its place; the last row keeps its labels alone.
TableWalk::CallOutcome TableWalk::DrawInNext(Current& current, const std::string& labels) {
  if (TakeUnread(current)) {
    if (!labels.empty()) SetText(current, labels + std::string(current.row[ColText]));
    return CallOutcome::DrewIn;
  }
  if (labels.empty()) return CallOutcome::Vanished;
  SetText(current, labels);
  return CallOutcome::DrewIn;
}

// The text with its #define symbols substituted goes to substituted_. Too large: the row is to
// stay as it is.
DefineList::Outcome TableWalk::Substitute(std::string_view text) {
  if (job_.Defines->Count() == 0) return DefineList::Outcome::Unchanged;
  const size_t limit = std::max(walker_.budget_.textBytes, text.size());
  return job_.Defines->Substitute(text, limit, substituted_);
}

void TableWalk::SetText(Current& current, std::string_view text) {
  if (current.readAfterCall && !current.textAsRead) {
    current.textAsRead = std::string(current.row[ColText]);
  }
  current.row.Set(ColText, text);
  current.mayChange = true;
}

void TableWalk::Refuse(const Row& row) {
  job_.Out.WriteLine(FormatMessage(PM::ExpansionTooLarge, {row[ColFile], row[ColLine]}));
  walker_.refused_ = true;
}

bool TableWalk::TakeUnread(Current& current) {
  if (read_ == rows_.size()) return false;
  current = Current(std::move(rows_[read_++]), false);
  if (snapshotTaken_) {
    current.readAfterCall = true;
    if (!unreadAt_) unreadAt_ = written_;
  }
  return true;
}

void TableWalk::Emit(Current current) {
  if (current.textAsRead) snapshot_.textsAsRead.emplace_back(written_, *current.textAsRead);
  Emit(std::move(current.row), current.mayChange);
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

// "sa.txt": written at once when it must be (Note [held-back dumps]), otherwise kept as the
// walk's snapshot.
void TableWalk::TableDumpAtCall(const Row& callRow) {
  snapshotTaken_ = !walker_.dumps_.TableDue();
  unreadAt_.reset();
  snapshot_ = TableSnapshot{written_, callRow, 0, 0, {}};
  if (snapshotTaken_) return;
  size_t size = DumpLineSize(callRow);
  for (size_t r = 0; r < rows_.size(); ++r) {
    if (r < written_ || r >= read_) size += DumpLineSize(rows_[r]);
  }
  std::string text;
  text.reserve(size);
  for (size_t r = 0; r < written_; ++r) AppendDumpLine(text, rows_[r]);
  AppendDumpLine(text, callRow);
  for (size_t r = read_; r < rows_.size(); ++r) AppendDumpLine(text, rows_[r]);
  walker_.dumps_.WriteTable(text);
}

// Once the gap is closed, the snapshot's unread rows are the rows from `unreadAt` to the end.
void TableWalk::HoldSnapshot() {
  if (!snapshotTaken_) return;
  snapshotTaken_ = false;
  snapshot_.unreadAt = unreadAt_.value_or(written_);
  snapshot_.rowsEnd = rows_.size();
  walker_.dumps_.HoldTable(std::move(snapshot_));
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
