; A 32x16 texture with a 256-colour table, as a .bmp file.
; Colour i = (red i, green 7i mod 256, blue 255 - i); the pixel at (x, y),
; counted from the top, has index (5x + 17y) mod 256, so no two neighbours
; along a row or a column share a colour and every offset error shows.
W equ 32
H equ 16
%include "bmp8.inc"

        bmp8_header
%assign i 0
%rep 256
        db 255 - i, (i * 7) & 255, i, 0         ; blue, green, red, reserved
%assign i i + 1
%endrep
%assign r 0
%rep H                                          ; rows are stored bottom-up
%assign y H - 1 - r
%assign x 0
%rep W
        db (x * 5 + y * 17) & 255
%assign x x + 1
%endrep
%assign r r + 1
%endrep
