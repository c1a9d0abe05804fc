Loop: nop
loop: nop
jmp loop
jmp Loop
