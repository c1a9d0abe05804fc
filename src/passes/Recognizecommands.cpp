#include "driver/Compilerobject.h"

// Placeholder until this pass lands.
int TMq71R04CompilerObject::RecognizeCommands() { return 0; }
