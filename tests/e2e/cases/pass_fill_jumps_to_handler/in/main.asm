nop
Panic: rts
