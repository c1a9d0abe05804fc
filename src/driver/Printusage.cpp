#include "driver/Compilerobject.h"

// Placeholder until the option parser lands.
void TMq71R04CompilerObject::PrintUsage() {
  Out.WriteLine("\nMq71R04 Processor Core assembler translator.");
}
