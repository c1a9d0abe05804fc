my-label: nop
loop:

  nop
x.y:
jmp loop
end:
