#include "inc-1.inc"
#include <m-1.inc>
start: movl REG, 1
   twice a0
 jmp start
