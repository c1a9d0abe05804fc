#include <cstdint>
#include <string>
#include <string_view>

#include "driver/Compilerobject.h"
#include "isa/Jumpcommands.h"
#include "isa/Mq71r04_asmparserobject.h"
#include "passes/Labeltable.h"
#include "passes/Multipledeclarations.h"
#include "support/Textutils.h"

// Label resolution: every label gets the address of the row that carries it, surplus declarations
// are reported and removed, the checksum label and the malfunction handler are settled, and the
// target of every jump and address-loading command becomes ten binary digits for the encoder.
//
// Word addresses are ten bits wide. A target beyond them is refused rather than cut to its low ten
// bits, which would silently jump somewhere else.

namespace {

constexpr int kAddressWidth = 10;
constexpr int kHighestAddress = 0x3ff;

constexpr MessageForm kChecksumLabelTaken =
    NativeMessage("[compiler error] : SheckSumLabel is overlapped user label.");
constexpr MessageForm kHandlerNotDefined =
    NativeMessage("[compiler warning] : MalfunctionHandler is not defined.");
constexpr MessageForm kHandlerOutOfRange =
    NativeMessage("[compiler error] : MalfunctionHandler address is out of range 0...0x3ff.");
constexpr MessageForm kLabelOutOfRange =
    NativeMessage("[compiler error] %s(%s): Address of label \"%s\" is out of range 0...0x3ff.");
constexpr MessageForm kOperandNotAddress =
    NativeMessage("[compiler error] %s(%s): Operand must be label or address.");
constexpr MessageForm kSecondOperandNotAddress =
    NativeMessage("[compiler error] %s(%s): Second operand must be label or address.");

class LabelResolution {
 public:
  explicit LabelResolution(TMq71R04CompilerObject& job)
      : job_(job), table_(*job.WorkTable), parser_(TMq71R04_ASMParserObject::Bare(job.Out)) {}

  int Run() {
    const std::vector<LabelDeclaration> declarations = CollectLabelDeclarations(table_);
    labels_.Reserve(declarations.size() + 1);  // the checksum label may follow
    for (const LabelDeclaration& declaration : declarations) {
      labels_.Append(declaration.Name, Bits(declaration.Row), declaration.Row);
    }
    // Two declarations named alike give two entries of that name; without them there is
    // nothing to report.
    if (labels_.HasRepeatedName() && RemoveMultipleDeclarations(job_, declarations)) {
      failed_ = true;
    }
    DefineChecksumLabel();
    FindMalfunctionHandler();
    // An empty operand can only name a label declared with an empty name; without one, the
    // empty second operand of every jump needs no look-up.
    emptyNameDeclared_ = labels_.FindExact({}) >= 0;
    for (int row = 0; row < table_.RowCount(); ++row) ResolveTarget(row);
    return failed_ ? 1 : 0;
  }

 private:
  // The checksum lands on the word after the last row, so that is the checksum label's address.
  void DefineChecksumLabel() {
    const std::string& name = job_.ChecksumLabel;
    if (name.empty()) return;
    if (labels_.FindIgnoringCase(name) >= 0) return Fail(kChecksumLabelTaken);
    labels_.Append(name, Bits(table_.RowCount()), table_.RowCount());
  }

  void FindMalfunctionHandler() {
    const std::string& name = job_.MalfunctionHandler;
    if (name.empty()) return;
    const int entry = labels_.FindIgnoringCase(name);
    if (entry < 0) return job_.Out.Report(kHandlerNotDefined, SourcePlace::Nowhere());
    if (labels_.Address(entry) > kHighestAddress) return Fail(kHandlerOutOfRange);
    job_.MalfunctionHandlerAddress = labels_.Value(entry);
  }

  // Walking the table entry by entry, the first entry that names either operand decides, and
  // operand 1 wins when both are named by the same entry.
  void ResolveTarget(int row) {
    const JumpCommand* jump = FindJumpCommand(table_.Cell(row, ColCommand));
    if (jump == nullptr) return;
    const int first = FindOperandLabel(table_.Cell(row, ColOperand1));
    const int second = FindOperandLabel(table_.Cell(row, ColOperand2));
    if (first >= 0 && (second < 0 || first <= second)) {
      return SubstituteLabel(row, ColOperand1, first);
    }
    if (second >= 0) return SubstituteLabel(row, ColOperand2, second);
    SubstituteNumber(row, *jump);
  }

  int FindOperandLabel(std::string_view operand) const {
    if (operand.empty() && !emptyNameDeclared_) return -1;
    return labels_.FindExact(operand);
  }

  // The operand names entry `named` exactly; its address is that of the first entry with the
  // name ignoring case.
  void SubstituteLabel(int row, int column, int named) {
    const int entry = labels_.FirstIgnoringCase(named);
    if (labels_.Address(entry) > kHighestAddress) {
      return FailRow(row, column, kLabelOutOfRange, table_.Cell(row, column));
    }
    table_.SetItem(row, column, labels_.Value(entry));
  }

  void SubstituteNumber(int row, const JumpCommand& jump) {
    const bool second = jump.TargetOperand == 2;
    const int column = second ? ColOperand2 : ColOperand1;
    const int32_t value = parser_.ParseNumber(table_.Cell(row, column));
    if (value == TMq71R04_ASMParserObject::InvalidNumber || value < 0 || value > kHighestAddress) {
      return FailRow(row, column, second ? kSecondOperandNotAddress : kOperandNotAddress);
    }
    table_.SetItem(row, column, Bits(value));
  }

  void FailRow(int row, int column, const MessageForm& form, std::string_view operand = {}) {
    job_.ReportRow(row, form, {operand});
    table_.SetItem(row, column, "0");
    failed_ = true;
  }

  void Fail(const MessageForm& form) {
    job_.Out.Report(form, SourcePlace::Nowhere());
    failed_ = true;
  }

  static std::string Bits(int address) {
    return TMq71R04_ASMParserObject::IntToBits(address, kAddressWidth);
  }

  TMq71R04CompilerObject& job_;
  TWorkTableObject& table_;
  const TMq71R04_ASMParserObject parser_;
  LabelTable labels_;
  bool emptyNameDeclared_ = false;
  bool failed_ = false;
};

}  // namespace

int TMq71R04CompilerObject::ResolveLabels() {
  return LabelResolution(*this).Run();
}
