#define A	A	A
nop A
