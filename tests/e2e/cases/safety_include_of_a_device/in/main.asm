#include "/dev/zero"
#include </dev/null>
nop
