a: b: nop
b: a: nop
a: rts
x:a:y: jmp a
