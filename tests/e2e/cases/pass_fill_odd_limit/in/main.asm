nop
rts
