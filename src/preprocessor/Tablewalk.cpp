#include "preprocessor/Tablewalk.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Macrosobject.h"

// Note [streaming walk]
// The walk reads as an index loop over the table: substitute row r, and when it calls a macro
// delete it, insert the body at r and go on behind the body. Done literally, every call moves
// every later row and dumps the whole table to "sa.txt", so hundreds of calls over thousands of
// rows cost millions of row moves and many megabytes of writes. Instead the walk keeps the rows
// it has passed ("done rows") at the front of the table's own row list and reads the rows as
// they were at its start ("input rows") from behind them: the table at any moment is the done
// rows + the current row + the unread input rows. The rows before the current one never change
// again within a walk, so the "sa.txt" of the walk's last call can be written once, at the end
// of the walk (or when an error leaves it); likewise the "MacrosBody.txt" of its last call.
// Each later call overwrites both files, so their final contents are the same. Only the first
// call of each walk writes them at once, so that a dump that cannot be written still ends the
// run at that call.
//
// Most rows pass a walk unchanged: no #define symbol in them and no macro call. Such a row stays
// where it is, or moves forward to the end of the done rows, and `passedAt_` remembers where it
// went, since a pending "sa.txt" still shows it at its old place. A row that changes is set
// aside as it was (`kept_`) and a copy of it is worked on. Expansions add rows: when the done
// rows would reach the unread ones, a gap is opened in front of the unread rows, an eighth of
// their number wide, so that each row is moved a bounded number of times. Working in the one
// list, rather than building a second table, keeps the walk from touching twice the memory.

namespace {

using Row = TWorkTableObject::Row;

constexpr size_t NotPassed = SIZE_MAX;

// Everything up to and including the last ':'.
std::string CallLabels(const std::string& text) {
  const size_t colon = text.rfind(':');
  return colon == std::string::npos ? std::string() : text.substr(0, colon + 1);
}

class TableWalk {
 public:
  explicit TableWalk(TMq71R04CompilerObject& job);
  void Run();

 private:
  // What became of a call: left alone (invalid arguments), replaced by its body, or gone
  // without a trace but its labels (empty body).
  enum class CallOutcome { NotExpanded, Expanded, Vanished };

  // The table as the last call found it: the first done rows, the call row, the input rows
  // from `next` on as they were.
  struct Snapshot {
    bool pending = false;
    size_t doneCount = 0;
    Row current;
    size_t next = 0;
  };
  struct BodyDump {
    bool pending = false;
    std::vector<Row> rows;
  };
  // An input row that the walk changed, as it was.
  struct KeptRow {
    size_t index;
    Row row;
  };

  // Where the next unread input row stands.
  size_t ReadPlace() const { return next_ + shift_; }
  // Where input row `index` stands: in the done rows or unread; NotPassed when it was kept.
  size_t PlaceOf(size_t index) const;
  bool PassUnchanged();
  const std::vector<int>* DefinitionsCalledBy(const std::string& text) const;
  void Examine(Row& current, bool& examineAgain);
  CallOutcome ExpandCall(TMacrosObject& definition, Row& current, const std::string& callLabels,
                         bool& examineAgain);
  bool TakeNextRow(Row& current);
  void PutDone(Row&& row);
  void OpenGap();
  void DumpTable(const Row& current);
  void DumpBody(const TMacrosObject& call);
  void WritePendingDumps();
  void PutInputBack();

  TMq71R04CompilerObject& job_;
  std::unordered_map<std::string, std::vector<int>> macrosByName_;
  // The done rows, then rows that are no longer in use (and the gap), then the unread rows.
  std::vector<Row> rows_;
  size_t inputCount_ = 0;
  size_t next_ = 0;       // input rows read so far
  size_t shift_ = 0;      // rows of gap opened so far: unread input row i stands at i + shift_
  size_t doneCount_ = 0;  // never more than ReadPlace()
  std::vector<size_t> passedAt_;  // per input row: its place among the done rows, if unchanged
  std::vector<KeptRow> kept_;     // in the order of their index
  bool tableDumped_ = false;
  bool bodyDumped_ = false;
  Snapshot snapshot_;
  BodyDump bodyDump_;
};

TableWalk::TableWalk(TMq71R04CompilerObject& job) : job_(job) {
  for (size_t k = 0; k < job.Macros->size(); ++k) {
    macrosByName_[(*job.Macros)[k]->Name].push_back(static_cast<int>(k));
  }
}

void TableWalk::Run() {
  inputCount_ = job_.WorkTable->Rows().size();
  passedAt_.assign(inputCount_, NotPassed);
  rows_ = job_.WorkTable->TakeRows();
  try {
    Row current;
    bool examineAgain = false;
    while (true) {
      if (!examineAgain) {
        if (PassUnchanged()) continue;
        if (!TakeNextRow(current)) break;
      }
      examineAgain = false;
      Examine(current, examineAgain);
    }
    WritePendingDumps();
  } catch (...) {
    try {
      WritePendingDumps();
    } catch (...) {
      PutInputBack();
      throw;
    }
    PutInputBack();
    throw;
  }
  rows_.resize(doneCount_);  // every input row has been read: behind the done rows is unused
  job_.WorkTable->ReplaceRows(std::move(rows_));
}

size_t TableWalk::PlaceOf(size_t index) const {
  if (passedAt_[index] != NotPassed) return passedAt_[index];
  return index >= next_ ? index + shift_ : NotPassed;
}

// Passes the next input row on to the done rows when the walk leaves it as it is; false
// otherwise.
bool TableWalk::PassUnchanged() {
  if (next_ >= inputCount_) return false;
  Row& row = rows_[ReadPlace()];
  if (job_.Defines->MayChange(row[ColText]) || DefinitionsCalledBy(row[ColText]) != nullptr) {
    return false;
  }
  if (doneCount_ != ReadPlace()) rows_[doneCount_] = std::move(row);
  passedAt_[next_++] = doneCount_++;
  return true;
}

// Reads the next input row into `current`, setting the row as it was aside: a pending dump may
// still show it, and an error that ends the walk puts it back.
bool TableWalk::TakeNextRow(Row& current) {
  if (next_ >= inputCount_) return false;
  kept_.emplace_back(next_, std::move(rows_[ReadPlace()]));
  ++next_;
  current = kept_.back().row;
  return true;
}

void TableWalk::PutDone(Row&& row) {
  if (doneCount_ == ReadPlace()) OpenGap();
  rows_[doneCount_++] = std::move(row);
}

// Room in front of the unread rows: an eighth of their number, so that the rows moved for all
// gaps together stay within a fixed multiple of the rows the walk adds.
void TableWalk::OpenGap() {
  const size_t gap = std::max<size_t>(16, (inputCount_ - next_) / 8);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(ReadPlace()), gap, Row());
  shift_ += gap;
}

// The definitions named like the text's command, in list order; null when there are none.
const std::vector<int>* TableWalk::DefinitionsCalledBy(const std::string& text) const {
  if (macrosByName_.empty()) return nullptr;
  const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job_.Out);
  const auto definitions = macrosByName_.find(parser.ExtractCommand(text));
  return definitions == macrosByName_.end() ? nullptr : &definitions->second;
}

// Substitution, then every definition whose name is the row's command, in list order. After an
// expansion the next definition is compared with the same command but works on the last body
// row. `examineAgain` asks for the (changed) current row to be examined once more.
void TableWalk::Examine(Row& current, bool& examineAgain) {
  std::string& text = current[ColText];
  job_.Defines->Substitute(text);
  if (const std::vector<int>* definitions = DefinitionsCalledBy(text)) {
    const std::string callLabels = CallLabels(text);
    for (int k : *definitions) {
      if (ExpandCall(*(*job_.Macros)[k], current, callLabels, examineAgain) ==
          CallOutcome::Vanished) {
        return;
      }
    }
  }
  PutDone(std::move(current));
}

TableWalk::CallOutcome TableWalk::ExpandCall(TMacrosObject& definition, Row& current,
                                             const std::string& callLabels, bool& examineAgain) {
  DumpTable(current);
  const TMq71R04_ASMParserObject parser = TMq71R04_ASMParserObject::Bare(job_.Out);
  OperandList split;
  parser.SplitArgumentList(current[ColText], split, MacroArgumentList, current[ColLine],
                           current[ColFile]);
  if (split.Status == StatusInvalid) return CallOutcome::NotExpanded;
  std::vector<std::string> arguments;
  if (split.Status != StatusNoArguments) arguments = std::move(split.Items);

  TMacrosObject call(job_);
  call.Assign(definition);
  if (definition.ExpansionCount++ > 0) call.RenewGeneratedLabels();
  call.Expand(arguments, current[ColFile], current[ColLine]);
  DumpBody(call);

  std::vector<Row> body = call.TakeRows();  // the call object is done with
  if (body.empty()) {
    // Only the call labels remain: in front of the next row, or as the whole text of the call
    // row when it was the last one. Either row is examined next, in this walk.
    if (TakeNextRow(current)) {
      current[ColText].insert(0, callLabels);
      examineAgain = true;
    } else if (!callLabels.empty()) {
      current[ColText] = callLabels;
      examineAgain = true;
    }
    return CallOutcome::Vanished;
  }
  for (size_t i = 0; i + 1 < body.size(); ++i) PutDone(std::move(body[i]));
  current = std::move(body.back());
  if (body.size() == 1) {
    current[ColText].insert(0, callLabels);
  } else {
    rows_[doneCount_ - (body.size() - 1)][ColText].insert(0, callLabels);
  }
  return CallOutcome::Expanded;
}

// "sa.txt": the whole table as it stands when a call is met. See Note [streaming walk].
void TableWalk::DumpTable(const Row& current) {
  snapshot_.pending = true;
  snapshot_.doneCount = doneCount_;
  snapshot_.current = current;  // assigned, so that its cells keep their storage from call to call
  snapshot_.next = next_;
  if (!tableDumped_) {
    tableDumped_ = true;
    WritePendingDumps();
  }
}

// "MacrosBody.txt": the expanded body of the call.
void TableWalk::DumpBody(const TMacrosObject& call) {
  bodyDump_.pending = true;
  bodyDump_.rows = call.Rows();
  if (!bodyDumped_) {
    bodyDumped_ = true;
    WritePendingDumps();
  }
}

void TableWalk::WritePendingDumps() {
  if (snapshot_.pending) {
    snapshot_.pending = false;
    TableDumpWriter table("sa.txt");
    for (size_t r = 0; r < snapshot_.doneCount; ++r) table.Append(rows_[r]);
    table.Append(snapshot_.current);
    auto kept = std::lower_bound(
        kept_.begin(), kept_.end(), snapshot_.next,
        [](const KeptRow& keptRow, size_t index) { return keptRow.index < index; });
    for (size_t i = snapshot_.next; i < inputCount_; ++i) {
      if (kept != kept_.end() && kept->index == i) {
        table.Append((kept++)->row);
      } else {
        table.Append(rows_[PlaceOf(i)]);
      }
    }
    table.Finish();
  }
  if (bodyDump_.pending) {
    bodyDump_.pending = false;
    TableDumpWriter body("MacrosBody.txt");
    for (const Row& row : bodyDump_.rows) body.Append(row);
    body.Finish();
  }
}

// When an error leaves the walk, the table is left as the walk found it, without a second list
// (memory may be what ran out). The places of the rows that were not set aside grow with their
// index, so each can be moved to its own index in one sweep: those that move towards the front
// in increasing order, then those that move towards the back in decreasing order, neither
// overwriting a row still to be moved. The rows set aside go back last.
void TableWalk::PutInputBack() {
  for (size_t i = 0; i < inputCount_; ++i) {
    const size_t place = PlaceOf(i);
    if (place != NotPassed && place > i) rows_[i] = std::move(rows_[place]);
  }
  for (size_t i = inputCount_; i-- > 0;) {
    const size_t place = PlaceOf(i);
    if (place != NotPassed && place < i) rows_[i] = std::move(rows_[place]);
  }
  for (KeptRow& keptRow : kept_) rows_[keptRow.index] = std::move(keptRow.row);
  rows_.resize(inputCount_);
  job_.WorkTable->ReplaceRows(std::move(rows_));
}

}  // namespace

void WalkTable(TMq71R04CompilerObject& job) {
  TableWalk(job).Run();
}
