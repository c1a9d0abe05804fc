#define X0 q	X1	X1
#define X1 q	X2	X2
#define X2 q	X3	X3
#define X3 q	X4	X4
#define X4 q	X5	X5
#define X5 q	X6	X6
#define X6 q	X7	X7
#define X7 q	X8	X8
#define X8 q	X9	X9
#define X9 q	X10	X10
#define X10 q	X11	X11
#define X11 q	X12	X12
#define X12 q	X13	X13
#define X13 q	X14	X14
#define X14 q	X15	X15
#define X15 q	X16	X16
#define X16 q	X17	X17
#define X17 q	X18	X18
#define X18 q	X19	X19
#define X19 q	X20	X20
#define X20 q	X21	X21
#define X21 q	X22	X22
#define X22 q	X23	X23
#define X23 q	X24	X24
nop X0
rts
