#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Filesystem.h"

class TMq71R04CompilerObject;

// The two dump files that every macro call rewrites: "sa.txt", the work table as the call finds
// it, and "MacrosBody.txt", the call's expanded body. Only the last content of each is left
// behind, so a dump is written at once only where a failure to write it must end the run at
// that call, and is otherwise held back; see Note [held-back dumps].
class CallDumps {
 public:
  static constexpr std::string_view kTableName = "sa.txt";
  static constexpr std::string_view kBodyName = "MacrosBody.txt";

  explicit CallDumps(TMq71R04CompilerObject& job) : job_(job) {}

  // True when the table dump of a call must be written at once.
  bool TableDue() const { return !table_.written; }
  // The table dump of a call, written at once.
  void WriteTable(std::string_view text);
  // The table dump of a call, held back: the table's rows [0, sharedRows) as they stand, then
  // the texts. Those rows must not change until the dump is written or detached from them.
  void HoldTable(size_t sharedRows, std::vector<std::string> texts);
  // Before rows from `row` on change: a held-back table dump takes its own copy of them.
  void DetachTableFrom(size_t row);

  // The body dump of an expansion: written at once when due, otherwise held back.
  void Body(std::string text);

  // Reads a source or include file. A held-back dump that the name leads to is written first,
  // so that what is read is what the run left there; a dump read is due again at the next
  // call.
  bool ReadInput(std::string_view name, std::string& bytes);
  // Writes the dumps held back.
  void Flush();

 private:
  struct Dump {
    std::string_view name;
    bool written = false;  // written once, and not read since
    std::optional<FileIdentity> file;  // the file written
    // While held: the text, in pieces; for the table behind its rows [0, sharedRows_).
    std::vector<std::string> pieces;
  };
  void Write(Dump& dump, const std::vector<std::string_view>& pieces);
  void WriteHeld(Dump& dump);
  static bool Held(const Dump& dump) { return !dump.pieces.empty(); }

  TMq71R04CompilerObject& job_;
  Dump table_{kTableName, false, std::nullopt, {}};
  Dump body_{kBodyName, false, std::nullopt, {}};
  size_t sharedRows_ = 0;
};
