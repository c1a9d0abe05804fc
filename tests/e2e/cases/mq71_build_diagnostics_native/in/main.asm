#define K X,
#include <faults.inc>
#include bad
start: movl a0, 1
bump a1, 2
qq a0
.word 5
jmp nowhere
table 70000
twice a2
dup: nop
dup: nop
bisl a9, 3
