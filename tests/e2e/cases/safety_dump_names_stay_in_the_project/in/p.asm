#include "d.inc"
nop
#include "e.inc"
