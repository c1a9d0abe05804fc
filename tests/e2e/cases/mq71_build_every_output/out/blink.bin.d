blink.bin: blink.asm board.inc lib/stdmacros.inc

board.inc:

lib/stdmacros.inc:
