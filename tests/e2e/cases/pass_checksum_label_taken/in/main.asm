Sum: nop
