#include "lib.inc"
#include "absent.inc"
start: pulse a1
pulse a2
