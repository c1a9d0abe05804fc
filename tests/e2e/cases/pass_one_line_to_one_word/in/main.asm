nop
nop
loop: addl a1, 3 ; step
jmp loop
