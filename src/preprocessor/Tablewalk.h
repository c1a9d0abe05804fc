#pragma once

#include <cstddef>

class CallDumps;
class TMq71R04CompilerObject;

// The walks over the work table after each top-level file: #define substitution in every row,
// then every macro call replaced by its expanded body. Rows inserted by an expansion are not
// examined again in the same walk. The walker keeps what one walk leaves for the next.
// How far expansion may go: #define substitution may make a row's text at most `textBytes` long
// (a longer text, as a long line of a source file, may still be substituted when it does not
// grow), and macro expansion may make the table at most `rows` rows longer than the rows read
// from the sources.
struct ExpansionBudget {
  size_t textBytes = 1u << 20;
  size_t rows = 1u << 20;
};

class TableWalker {
 public:
  TableWalker(TMq71R04CompilerObject& job, CallDumps& dumps,
              ExpansionBudget budget = ExpansionBudget())
      : job_(job), dumps_(dumps), budget_(budget) {}

  // `rowCount` rows were read from a source file since the last walk.
  void AddSourceRows(size_t rowCount) { sourceRows_ += rowCount; }
  // One walk over the table. A dump file that cannot be written throws TranslatorError.
  void Walk();
  // True once an expansion was refused as too large: reported, and the pass fails.
  bool ExpansionRefused() const { return refused_; }

 private:
  friend class TableWalk;

  TMq71R04CompilerObject& job_;
  CallDumps& dumps_;
  const ExpansionBudget budget_;
  // Rows from the start of the table that the last walk found unable to change while no
  // #define or macro is added: the next walk begins behind them.
  size_t settledRows_ = 0;
  int definesWalked_ = 0;
  size_t macrosWalked_ = 0;
  size_t sourceRows_ = 0;
  // After a refused expansion nothing more is expanded, so that a runaway program ends quickly
  // with one message.
  bool refused_ = false;
};
