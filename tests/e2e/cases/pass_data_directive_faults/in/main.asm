nop
.byte 7
t: .byte 1,,2
u: .word 1,
.BYTE 1
.byte
v: .word 65536, 70000, x
