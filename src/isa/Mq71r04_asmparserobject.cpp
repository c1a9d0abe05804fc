#include "isa/Mq71r04_asmparserobject.h"

// Placeholder until the instruction set lands.
TMq71R04_ASMParserObject::TMq71R04_ASMParserObject(OutputSink& out)
    : TMq71R04_ASMParserObject(out, true) {}
TMq71R04_ASMParserObject::TMq71R04_ASMParserObject(OutputSink& out, bool withTables)
    : out_(&out), hasTables_(withTables) {}
TMq71R04_ASMParserObject TMq71R04_ASMParserObject::Bare(OutputSink& out) {
  return TMq71R04_ASMParserObject(out, false);
}
int TMq71R04_ASMParserObject::FindInstruction(std::string_view) const {
  return -1;
}
int TMq71R04_ASMParserObject::FindRegister(std::string_view) const {
  return -1;
}
int TMq71R04_ASMParserObject::FindSpecialRegister(std::string_view) const {
  return -1;
}
std::string TMq71R04_ASMParserObject::InstructionValue(int) const {
  return "";
}
std::string TMq71R04_ASMParserObject::RegisterValue(int) const {
  return "";
}
std::string TMq71R04_ASMParserObject::SpecialRegisterValue(int) const {
  return "";
}
int TMq71R04_ASMParserObject::ScanInstructionExact(std::string_view) const {
  return -1;
}
int TMq71R04_ASMParserObject::ParseStatement(int, TWorkTableObject&) {
  return 0;
}
int TMq71R04_ASMParserObject::TranslateLine(int, TWorkTableObject&) {
  return 0;
}
