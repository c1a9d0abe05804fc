; nothing to assemble
#define
#define A-1 5
#define B B ; same
#include "missing.inc"
#include <absent.inc>
#include bare.inc
