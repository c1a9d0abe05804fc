#pragma once

#include <string>

class TMq71R04CompilerObject;

// The symbol map of an assembled program: one line per label, sorted by word address (labels of
// one address in the order declared), with tabs between the fields:
//   name  address (four hexadecimal digits)  file:line (1-based)  ["macro" for generated labels]
// The place is that of the statement the label stands for. The checksum label, which no
// statement carries, shows "-" as its place. Lines end in LF.
std::string SymbolMapText(const TMq71R04CompilerObject& job);
