#include "preprocessor/Tablewalk.h"

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
// rows cost millions of row moves and many megabytes of writes. Instead the walk takes the rows
// as they were at its start out of the table (`input_`, whose rows keep that form during the
// walk) and appends the rows it has passed to `done_`; the table at any moment is done_ + the
// current row + input_ from `next_` on. The rows before the current one never change again within a
// walk, so the "sa.txt" of the walk's last call can be written once, at the end of the walk (or
// when an error leaves it); likewise the "MacrosBody.txt" of its last call. Each later call
// overwrites both files, so their final contents are the same. Only the first call of each walk
// writes them at once, so that a dump that cannot be written still ends the run at that call.
//
// Most rows pass a walk unchanged: no #define symbol in them and no macro call. Such a row is
// moved to done_ rather than copied, and `passedAt_` remembers where it went, since a pending
// "sa.txt" still shows it at its old place. A row that changes is copied, so that input_ keeps
// its old form for that dump.

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

  // The table as the last call found it: done_'s first rows, the call row, input_'s rest.
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

  bool PassUnchanged();
  const std::vector<int>* DefinitionsCalledBy(const std::string& text) const;
  void Examine(Row& current, bool& examineAgain);
  CallOutcome ExpandCall(TMacrosObject& definition, Row& current, const std::string& callLabels,
                         bool& examineAgain);
  bool TakeNextRow(Row& current);
  const Row& InputRowAsItWas(size_t index) const;
  void DumpTable(const Row& current);
  void DumpBody(const TMacrosObject& call);
  void WritePendingDumps();
  void PutInputBack();

  TMq71R04CompilerObject& job_;
  std::unordered_map<std::string, std::vector<int>> macrosByName_;
  std::vector<Row> input_;
  size_t next_ = 0;
  std::vector<size_t> passedAt_;  // per input row: its index in done_ when moved there unchanged
  std::vector<Row> done_;
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
  const size_t rowCount = job_.WorkTable->Rows().size();
  passedAt_.assign(rowCount, NotPassed);
  // Room for some growth by expansions, so that done_ is seldom moved as a whole.
  done_.reserve(rowCount + rowCount / 4 + 16);
  input_ = job_.WorkTable->TakeRows();
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
  job_.WorkTable->ReplaceRows(std::move(done_));
}

// Moves the next input row to done_ when the walk leaves it as it is; false otherwise.
bool TableWalk::PassUnchanged() {
  if (next_ >= input_.size()) return false;
  Row& row = input_[next_];
  if (job_.Defines->MayChange(row[ColText]) || DefinitionsCalledBy(row[ColText]) != nullptr) {
    return false;
  }
  done_.push_back(std::move(row));
  passedAt_[next_++] = done_.size() - 1;
  return true;
}

bool TableWalk::TakeNextRow(Row& current) {
  if (next_ >= input_.size()) return false;
  current = input_[next_++];  // a copy: a pending dump may still show the original
  return true;
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
  done_.push_back(std::move(current));
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
  for (size_t i = 0; i + 1 < body.size(); ++i) done_.push_back(std::move(body[i]));
  current = std::move(body.back());
  if (body.size() == 1) {
    current[ColText].insert(0, callLabels);
  } else {
    done_[done_.size() - (body.size() - 1)][ColText].insert(0, callLabels);
  }
  return CallOutcome::Expanded;
}

const Row& TableWalk::InputRowAsItWas(size_t index) const {
  return passedAt_[index] == NotPassed ? input_[index] : done_[passedAt_[index]];
}

// "sa.txt": the whole table as it stands when a call is met. See Note [streaming walk].
void TableWalk::DumpTable(const Row& current) {
  snapshot_.pending = true;
  snapshot_.doneCount = done_.size();
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
    for (size_t r = 0; r < snapshot_.doneCount; ++r) table.Append(done_[r]);
    table.Append(snapshot_.current);
    for (size_t r = snapshot_.next; r < input_.size(); ++r) table.Append(InputRowAsItWas(r));
    table.Finish();
  }
  if (bodyDump_.pending) {
    bodyDump_.pending = false;
    TableDumpWriter body("MacrosBody.txt");
    for (const Row& row : bodyDump_.rows) body.Append(row);
    body.Finish();
  }
}

// When an error leaves the walk, the table is left as the walk found it.
void TableWalk::PutInputBack() {
  for (size_t r = 0; r < input_.size(); ++r) {
    if (passedAt_[r] != NotPassed) input_[r] = std::move(done_[passedAt_[r]]);
  }
  job_.WorkTable->ReplaceRows(std::move(input_));
}

}  // namespace

void WalkTable(TMq71R04CompilerObject& job) {
  TableWalk(job).Run();
}
