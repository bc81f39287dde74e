; Two 8x8 frames side by side on magenta (the transparent colour):
; frame 0 is a solid red square, frame 1 a green 2x2 dot at (3, 3).
W equ 16
H equ 8
%include "bmp8.inc"

        bmp8_header
        db 255, 0, 255, 0                       ; 0 magenta
        db 0, 0, 255, 0                         ; 1 red
        db 0, 255, 0, 0                         ; 2 green
        times 253 db 0, 0, 0, 0
%assign r 0
%rep H
%assign y H - 1 - r
%assign x 0
%rep W
%if x < 8
        db 1
%elif (x == 11 || x == 12) && (y == 3 || y == 4)
        db 2
%else
        db 0
%endif
%assign x x + 1
%endrep
%assign r r + 1
%endrep
