#include "defs.inc"
start: jmp start
