#include "driver/Compilerobject.h"

// Placeholder until this pass lands.
int TMq71R04CompilerObject::CheckLabels() { return 0; }
