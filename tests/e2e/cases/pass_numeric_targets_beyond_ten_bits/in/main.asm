jmp 1023
jmp 1024
jz -1
jsr 0x400
lrah a0, 2047
lsal #1, 300
jc nowhere
