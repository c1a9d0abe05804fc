#include "driver/Compilerobject.h"

// Placeholder until this pass lands.
int TMq71R04CompilerObject::AllocateData() { return 0; }
