; Blink: toggles an LED bit in a counted loop, then sends a message table.
#include "board.inc"
#include <stdmacros.inc>
#define STEP 1

start:
        clear COUNTER
        movl LED_PORT, 0
main_loop:
        btgl LED_PORT, 3        ; toggle the LED bit
        delay a1, DELAY
        addl COUNTER, STEP
        cmpl COUNTER, 100
        jnz main_loop
        loadaddr a2, a3, message
        jsr send
        jmp start

send:   push #6
        mtpr #6, a2
        mtpr #7, a3
        ldr #4, 12              ; select the serial channel
        pop #6
        rts

fault:  rst                     ; every word after the program jumps here

message: .byte 72, 101, 108, 108, 111, 0
pattern: .word 0xAA55, 1010b, 17o, $7F
