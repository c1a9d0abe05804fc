#include "preprocessor/Tablewalk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/Compilerobject.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "preprocessor/Macrosobject.h"

// Note [walk in two sweeps]
// The walk reads as an index loop over the table: substitute row r, and when it calls a macro
// delete it, insert the body at r and go on behind the body. Done literally, every call moves
// every later row and dumps the whole table to "sa.txt", so hundreds of calls over thousands of
// rows cost millions of row moves and many megabytes of writes.
//
// Instead the walk first reads the rows without moving or changing any of them ("input rows"),
// and notes what becomes of each row that does not pass unchanged: a new text (a #define symbol
// substituted), or the rows that stand in its place and in the place of the rows an empty body
// drew in (an expansion). Only at the end are the changes put into the table, moving every row
// at most once (see ApplyChanges). So a walk that fails (a dump that cannot be written, memory
// running out) leaves the table as it found it, without putting anything back.
//
// The table at any moment of the first sweep is: the input rows before the row being walked,
// with the changes noted so far; the rows the walk has finished of the row being walked; the
// row being examined ("current"); and the unread input rows as they are. The rows before the
// current one never change again within a walk, so the "sa.txt" of the walk's last call can be
// written once, at the end of the walk (or when an error leaves it); likewise the
// "MacrosBody.txt" of its last call. Each later call overwrites both files, so their final
// contents are the same. Only the first call of each walk writes them at once, so that a dump
// that cannot be written still ends the run at that call.
//
// The last "sa.txt" ends with the unread input rows, as the first one did: their text is taken
// from the first dump rather than put together again.

namespace {

using Row = TWorkTableObject::Row;

// The size of the row's line in a dump with `text` as its text.
size_t RowTextSizeWith(const Row& row, std::string_view text) {
  return TableDumpWriter::RowTextSize(row) - row[ColText].size() + text.size();
}

// Everything up to and including the last ':'.
std::string CallLabels(std::string_view text) {
  const size_t colon = text.rfind(':');
  return colon == std::string_view::npos ? std::string() : std::string(text.substr(0, colon + 1));
}

// The macro definitions by name, in list order per name. Most statements call no macro, and
// splitting them and hashing their command word costs more than the rest of their walk: a
// command whose first byte or length no definition's name has is refused without either.
class MacroIndex {
 public:
  explicit MacroIndex(const std::vector<std::unique_ptr<TMacrosObject>>& macros) {
    for (size_t k = 0; k < macros.size(); ++k) {
      const std::string& name = macros[k]->Name;
      byName_[name].push_back(static_cast<int>(k));
      if (name.empty()) {
        hasEmptyName_ = true;
        continue;
      }
      beginsName_[static_cast<unsigned char>(name[0])] = true;
      nameLengths_ |= LengthBit(name.size());
    }
  }

  // False when no definition can be named like the command of `text`.
  bool MayBeCalledBy(std::string_view text) const {
    if (byName_.empty()) return false;
    const int first = CommandFirstByte(text);
    return first < 0 ? hasEmptyName_ : beginsName_[first];
  }

  // The definitions named `command`, in list order; null when there are none.
  const std::vector<int>* Find(std::string_view command) const {
    if (!command.empty() && (nameLengths_ & LengthBit(command.size())) == 0) return nullptr;
    const auto found = byName_.find(command);
    return found == byName_.end() ? nullptr : &found->second;
  }

 private:
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  static uint64_t LengthBit(size_t length) { return uint64_t{1} << std::min<size_t>(length, 63); }

  std::unordered_map<std::string, std::vector<int>, TextHash, std::equal_to<>> byName_;
  std::array<bool, 256> beginsName_{};
  uint64_t nameLengths_ = 0;
  bool hasEmptyName_ = false;
};

// The call's labels in front of a row's text.
void PutInFront(Row& row, std::string_view callLabels) {
  if (callLabels.empty()) return;
  std::string text(callLabels);
  text += row[ColText];
  row.Set(ColText, text);
}

class TableWalk {
 public:
  explicit TableWalk(TMq71R04CompilerObject& job);
  void Run();

 private:
  // What the walk made of input rows that did not pass unchanged: the one row `first` with
  // a new text, or the rows `first` to `first + consumed - 1` replaced by rows of an expansion.
  // Small and without storage of its own, since a #define can change most rows of a program:
  // the texts stand one after another in texts_, the rows of an expansion in expansions_.
  struct Change {
    size_t first = 0;
    size_t consumed = 1;
    bool textOnly = false;
    // The text texts_[begin, begin + size), or the rows expansions_[begin] (size unused).
    size_t begin = 0;
    size_t size = 0;
  };
  // What became of a call: left alone (invalid arguments), replaced by its body, or gone
  // without a trace but its labels (empty body).
  enum class CallOutcome { NotExpanded, Expanded, Vanished };

  // The table as a call found it: the input rows before `groupFirst` with the first
  // `changeCount` changes, the first `groupDone` finished rows of the row being walked, the
  // call row, the input rows from `next` on.
  struct Snapshot {
    bool pending = false;
    size_t changeCount = 0;
    size_t groupFirst = 0;
    size_t groupDone = 0;
    Row current;
    size_t next = 0;
  };
  struct BodyDump {
    bool pending = false;
    std::vector<Row> rows;
  };
  // The first "sa.txt" of the walk, kept for the unread rows that the last one shows again:
  // input row `next` begins at `tailStart` of its text.
  struct FirstDump {
    std::unique_ptr<TableDumpWriter> writer;
    size_t next = 0;
    size_t tailStart = 0;
  };

  std::string_view Text(const Change& change) const {
    return std::string_view(texts_).substr(change.begin, change.size);
  }
  std::vector<Row>& Rows(const Change& change) { return expansions_[change.begin]; }
  const std::vector<Row>& Rows(const Change& change) const { return expansions_[change.begin]; }
  // Rows the change adds to the table (negative: removes).
  std::ptrdiff_t Growth(const Change& change) const {
    const size_t rowCount = change.textOnly ? 1 : Rows(change).size();
    return static_cast<std::ptrdiff_t>(rowCount) - static_cast<std::ptrdiff_t>(change.consumed);
  }
  const std::vector<int>* DefinitionsCalledBy(std::string_view text) const;
  void WalkRow();
  void WalkChangedRow(Row current);
  bool Examine(Row& current);
  CallOutcome ExpandCall(TMacrosObject& definition, Row& current, const std::string& callLabels,
                         bool& examineAgain);
  bool TakeNextRow(Row& current);
  void DumpTable(const Row& current);
  void DumpBody(const TMacrosObject& call);
  void WritePendingDumps();
  template <typename Visit>
  void VisitSnapshotHead(Visit visit) const;
  void WriteTableDump();
  void ApplyChanges();
  void MoveRun(size_t begin, size_t end, std::ptrdiff_t shift);

  TMq71R04CompilerObject& job_;
  const TMq71R04_ASMParserObject parser_;
  const MacroIndex macros_;
  std::vector<Row> rows_;  // the input rows, unchanged until ApplyChanges
  size_t inputCount_ = 0;
  size_t next_ = 0;                           // input rows read so far
  std::vector<Change> changes_;               // in the order of their input rows
  std::string texts_;                         // the new texts of the changes
  std::vector<std::vector<Row>> expansions_;  // the rows of the changes that expand calls
  size_t rowCount_ = 0;                       // the rows of the table once the changes are in
  // The row being walked: the input row it began with, and the rows finished so far.
  size_t groupFirst_ = 0;
  std::vector<Row> groupRows_;
  // The substituted text of the row being read, its storage kept from row to row.
  std::string substituted_;
  bool tableDumped_ = false;
  bool bodyDumped_ = false;
  Snapshot snapshot_;
  BodyDump bodyDump_;
  FirstDump firstDump_;
};

TableWalk::TableWalk(TMq71R04CompilerObject& job)
    : job_(job), parser_(TMq71R04_ASMParserObject::Bare(job.Out)), macros_(*job.Macros) {}

void TableWalk::Run() {
  rows_ = job_.WorkTable->TakeRows();
  inputCount_ = rows_.size();
  try {
    while (next_ < inputCount_) WalkRow();
    WritePendingDumps();
    rowCount_ = inputCount_;
    for (const Change& change : changes_) rowCount_ += Growth(change);
    rows_.reserve(rowCount_);
  } catch (...) {
    try {
      WritePendingDumps();
    } catch (...) {
      job_.WorkTable->ReplaceRows(std::move(rows_));
      throw;
    }
    job_.WorkTable->ReplaceRows(std::move(rows_));
    throw;
  }
  ApplyChanges();
  job_.WorkTable->ReplaceRows(std::move(rows_));
}

const std::vector<int>* TableWalk::DefinitionsCalledBy(std::string_view text) const {
  if (!macros_.MayBeCalledBy(text)) return nullptr;
  return macros_.Find(parser_.ExtractCommand(text));
}

// The next input row: most pass unchanged; a #define substitution gives it a new text; a call
// is walked in full.
void TableWalk::WalkRow() {
  const Row& row = rows_[next_];
  const std::string_view text = row[ColText];
  std::string& substituted = substituted_;
  if (!job_.Defines->Substituted(text, substituted)) {
    if (DefinitionsCalledBy(text) == nullptr) {
      ++next_;
      return;
    }
    WalkChangedRow(row);
    return;
  }
  if (DefinitionsCalledBy(substituted) != nullptr) {
    Row current = row;
    current.Set(ColText, substituted);
    WalkChangedRow(std::move(current));
    return;
  }
  if (substituted != text) {
    changes_.push_back({next_, 1, true, texts_.size(), substituted.size()});
    texts_ += substituted;
  }
  ++next_;
}

// `current` is input row next_ with its #define symbols substituted, and calls a macro. Rows
// that an empty body draws in are walked with it, as part of the same change.
void TableWalk::WalkChangedRow(Row current) {
  groupFirst_ = next_++;
  groupRows_.clear();
  std::string substituted;
  while (Examine(current)) {
    if (job_.Defines->Substituted(current[ColText], substituted)) {
      current.Set(ColText, substituted);
    }
  }
  expansions_.push_back(std::move(groupRows_));
  groupRows_ = {};
  changes_.push_back({groupFirst_, next_ - groupFirst_, false, expansions_.size() - 1, 0});
}

// `current` has its #define symbols substituted: every definition whose name is its command,
// in list order. After an expansion the next definition is compared with the same command but
// works on the last body row. True when an empty body left a row in `current` to be examined
// once more; otherwise `current` is finished or gone.
bool TableWalk::Examine(Row& current) {
  if (const std::vector<int>* definitions = DefinitionsCalledBy(current[ColText])) {
    const std::string callLabels = CallLabels(current[ColText]);
    for (int k : *definitions) {
      bool examineAgain = false;
      if (ExpandCall(*(*job_.Macros)[k], current, callLabels, examineAgain) ==
          CallOutcome::Vanished) {
        return examineAgain;
      }
    }
  }
  groupRows_.push_back(std::move(current));
  return false;
}

TableWalk::CallOutcome TableWalk::ExpandCall(TMacrosObject& definition, Row& current,
                                             const std::string& callLabels, bool& examineAgain) {
  DumpTable(current);
  OperandList split;
  parser_.SplitArgumentList(current[ColText], split, MacroArgumentList, current[ColLine],
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
      PutInFront(current, callLabels);
      examineAgain = true;
    } else if (!callLabels.empty()) {
      current.Set(ColText, callLabels);
      examineAgain = true;
    }
    return CallOutcome::Vanished;
  }
  const size_t bodyStart = groupRows_.size();
  for (size_t i = 0; i + 1 < body.size(); ++i) groupRows_.push_back(std::move(body[i]));
  current = std::move(body.back());
  PutInFront(body.size() == 1 ? current : groupRows_[bodyStart], callLabels);
  return CallOutcome::Expanded;
}

// Reads the next input row into `current`; the input row stays as it was until the end.
bool TableWalk::TakeNextRow(Row& current) {
  if (next_ >= inputCount_) return false;
  current = rows_[next_++];
  return true;
}

// "sa.txt": the whole table as it stands when a call is met. See Note [walk in two sweeps].
void TableWalk::DumpTable(const Row& current) {
  snapshot_.pending = true;
  snapshot_.changeCount = changes_.size();
  snapshot_.groupFirst = groupFirst_;
  snapshot_.groupDone = groupRows_.size();
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
    WriteTableDump();
  }
  if (bodyDump_.pending) {
    bodyDump_.pending = false;
    TableDumpWriter body(job_.Files, "MacrosBody.txt");
    for (const Row& row : bodyDump_.rows) body.Append(row);
    body.Finish();
  }
}

template <typename Visit>
void TableWalk::VisitSnapshotHead(Visit visit) const {
  size_t input = 0;
  for (size_t c = 0; c < snapshot_.changeCount; ++c) {
    const Change& change = changes_[c];
    for (; input < change.first; ++input) visit(rows_[input], rows_[input][ColText]);
    if (change.textOnly) {
      visit(rows_[change.first], Text(change));
    } else {
      for (const Row& row : Rows(change)) visit(row, row[ColText]);
    }
    input = change.first + change.consumed;
  }
  for (; input < snapshot_.groupFirst; ++input) visit(rows_[input], rows_[input][ColText]);
  // The row being walked at the call has become change number changeCount, or is still walked.
  const std::vector<Row>& group =
      changes_.size() > snapshot_.changeCount ? Rows(changes_[snapshot_.changeCount]) : groupRows_;
  for (size_t i = 0; i < snapshot_.groupDone; ++i) visit(group[i], group[i][ColText]);
  visit(snapshot_.current, snapshot_.current[ColText]);
}

void TableWalk::WriteTableDump() {
  auto table = std::make_unique<TableDumpWriter>(job_.Files, "sa.txt");
  const bool tailKept = firstDump_.writer != nullptr;
  size_t size = 0;
  VisitSnapshotHead(
      [&](const Row& row, std::string_view text) { size += RowTextSizeWith(row, text); });
  size_t tailStart = firstDump_.tailStart;
  if (tailKept) {
    for (size_t i = firstDump_.next; i < snapshot_.next; ++i) {
      tailStart += TableDumpWriter::RowTextSize(rows_[i]);
    }
  } else {
    for (size_t i = snapshot_.next; i < inputCount_; ++i) {
      size += TableDumpWriter::RowTextSize(rows_[i]);
    }
  }
  table->Reserve(size);
  VisitSnapshotHead([&](const Row& row, std::string_view text) { table->Append(row, text); });
  if (tailKept) {
    table->AppendDumpText(firstDump_.writer->Text().substr(tailStart));
    table->Finish();
    return;
  }
  const size_t headSize = table->Text().size();
  for (size_t i = snapshot_.next; i < inputCount_; ++i) table->Append(rows_[i]);
  table->Finish();
  firstDump_.writer = std::move(table);
  firstDump_.next = snapshot_.next;
  firstDump_.tailStart = headSize;
}

// Puts the changes into the table, which has room for the rows it will hold. Rows are only
// moved and texts replaced, so nothing here fails but for want of memory. See Note [walk in two
// sweeps].
void TableWalk::ApplyChanges() {
  // New texts first, while every input row still stands at its own index.
  for (Change& change : changes_) {
    if (change.textOnly) rows_[change.first].Set(ColText, Text(change));
  }
  rows_.resize(std::max(inputCount_, rowCount_));
  // The input rows that remain, run by run between expansions: each run moves by the rows that
  // the expansions before it added or removed. Their places grow with their index, so the runs
  // that move towards the front can be moved in increasing order, then those that move towards
  // the back in decreasing order, neither overwriting a row still to be moved.
  std::ptrdiff_t shift = 0;
  size_t runStart = 0;
  for (const Change& change : changes_) {
    if (change.textOnly) continue;
    if (shift < 0) MoveRun(runStart, change.first, shift);
    shift += Growth(change);
    runStart = change.first + change.consumed;
  }
  if (shift < 0) MoveRun(runStart, inputCount_, shift);
  size_t runEnd = inputCount_;
  for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
    if (change->textOnly) continue;
    if (shift > 0) MoveRun(change->first + change->consumed, runEnd, shift);
    shift -= Growth(*change);
    runEnd = change->first;
  }
  // The rows of the expansions, into the places left between the runs.
  for (Change& change : changes_) {
    if (change.textOnly) continue;
    size_t place = change.first + shift;
    for (Row& row : Rows(change)) rows_[place++] = std::move(row);
    shift += Growth(change);
  }
  rows_.resize(rowCount_);
}

// Moves the input rows begin to end - 1 by `shift` places, in the order that never overwrites
// a row of the run before it has moved.
void TableWalk::MoveRun(size_t begin, size_t end, std::ptrdiff_t shift) {
  if (shift < 0) {
    for (size_t i = begin; i < end; ++i) rows_[i + shift] = std::move(rows_[i]);
  } else if (shift > 0) {
    for (size_t i = end; i-- > begin;) rows_[i + shift] = std::move(rows_[i]);
  }
}

}  // namespace

int CommandFirstByte(std::string_view text) {
  // memrchr rather than rfind, which tests byte by byte: every row of every walk is asked.
  const void* found = text.empty() ? nullptr : memrchr(text.data(), ':', text.size());
  if (found == nullptr) {
    if (text.empty() || text[0] == ' ' || text[0] == '\t') return -1;
    return static_cast<unsigned char>(text[0]);
  }
  const size_t colon = static_cast<size_t>(static_cast<const char*>(found) - text.data());
  for (size_t at = colon + 1; at < text.size(); ++at) {
    if (static_cast<unsigned char>(text[at]) > 32) return static_cast<unsigned char>(text[at]);
  }
  return -1;
}

void WalkTable(TMq71R04CompilerObject& job) {
  TableWalk(job).Run();
}
