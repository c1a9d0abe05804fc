rts
