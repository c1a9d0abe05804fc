start: movl a0, 1
jmp start
.word 5, 6
