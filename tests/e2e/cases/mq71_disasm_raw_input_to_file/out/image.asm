; image.raw, disassembled by mq71 disasm: mq71asm assembles this source back into the image.
;
; Header: none, a raw image (-ro).
; Program: 12 words: 10 instructions, then 2 data words.
; Checksum: none.
; Fill: none.
;
; Rebuild: mq71asm -rd=DIR -sl=FILE -of=IMAGE -ro
; (DIR holds this source as FILE; IMAGE names the image to write.)

L_0000: movl a1, 5              ; 0000: 40A1
L_0001: subl a1, 1              ; 0001: 2C21
        jnz L_0001              ; 0002: B001
        lsah #4, L_0008         ; 0003: 2004
        lsal #5, L_0008         ; 0004: 2045
        jsr L_0007              ; 0005: 9007
        jmp L_0000              ; 0006: 8000
L_0007: rts                     ; 0007: 000C
L_0008: rrc a2                  ; 0008: 0102
        mfpr a0, #0             ; 0009: 0300
L_000A: .word 0xFFFF            ; 000A: FFFF
L_000B: .word 0x1234            ; 000B: 1234
