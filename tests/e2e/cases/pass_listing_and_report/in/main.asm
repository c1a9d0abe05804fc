start: movl a1, 5
loop:
  subl a1, 1
  jnz loop
  lsah #4, tbl
  lsal #5, tbl
  jmp start
tbl: .byte 1, 2, 3
.word 0x1234
