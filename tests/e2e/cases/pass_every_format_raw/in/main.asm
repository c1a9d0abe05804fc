mov a1, b2
movl a3, 90
addl c0, 31
bisl a2, 7
neg d7
ldr #2, 72
ldr #5, 72
mtpr #3, a5
mfpr a5, #3
push #6
sst 9
jmp 9
rtsc 1
lrah a0, 291
lral a0, 291
lsah #1, 291
lsal #1, 291
t: .byte 18, 52
w: .word 48879
