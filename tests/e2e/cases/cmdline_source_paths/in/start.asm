nop
