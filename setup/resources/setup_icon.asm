; Icon "Setup": one 32 x 32 image with 16 colours - a dark blue disc with a
; white lightning-shaped "Z" (the wind of the package's logo) and a cyan rim.
;
; Rows are written top-down as palette digits ('.' = transparent) and emitted
; bottom-up, as the icon format wants. Digits index the sixteen standard
; colours: 0 black, 4 navy, 7 light grey, 8 grey, C blue, E cyan, F white.

%define WIDTH 32
%define HEIGHT 32

%define r0  '...........0000000000...........'
%define r1  '........00EEEEEEEEEE00..........'
%define r2  '......0EEE4444444444EEE0........'
%define r3  '.....0EE44444444444444EE0.......'
%define r4  '....0E444444444444444444E0......'
%define r5  '...0E44444444444444444444E0.....'
%define r6  '..0E44FFFFFFFFFFFFFFFF4444E0....'
%define r7  '..0E44FFFFFFFFFFFFFFFF4444E0....'
%define r8  '.0E4444777777777777FFF44444E0...'
%define r9  '.0E444444444444444FFF444444E0...'
%define r10 '.0E44444444444444FFF7444444E0...'
%define r11 '0E44444444444444FFF7444444444E0.'
%define r12 '0E4444444444444FFF74444444444E0.'
%define r13 '0E44CCCCCC4444FFF744CCCCCC444E0.'
%define r14 '0E444444444444FFF744444444444E0.'
%define r15 '0E44444444444FFF7444444444444E0.'
%define r16 '0E4444444444FFF74444444444444E0.'
%define r17 '0E444CCCCC4FFF7444CCCCCCC4444E0.'
%define r18 '0E444444444FFF744444444444444E0.'
%define r19 '0E44444444FFF7444444444444444E0.'
%define r20 '.0E4444444FF7444444444444444E0..'
%define r21 '.0E444444FFF7444444444444444E0..'
%define r22 '.0E44444FFF74444444444444444E0..'
%define r23 '..0E444FFFFFFFFFFFFFFFFFF44E0...'
%define r24 '..0E444FFFFFFFFFFFFFFFFFF44E0...'
%define r25 '...0E44477777777777777777744E0..'
%define r26 '....0E444444444444444444444E0...'
%define r27 '.....0EE44444444444444444EE0....'
%define r28 '......0EEE4444444444444EEE0.....'
%define r29 '........00EEEEEEEEEEEEE00.......'
%define r30 '..........0000000000000.........'
%define r31 '................................'

; ---- ICONDIR ----
        dw      0, 1, 1                 ; reserved, type icon, one image
        db      WIDTH, HEIGHT, 16, 0    ; size, colour count
        dw      1, 4                    ; planes, bits per pixel
        dd      image_end - image       ; bytes of the image
        dd      image                   ; offset of the image

image:  ; ---- BITMAPINFOHEADER; height counts the XOR and the AND mask ----
        dd      40, WIDTH, HEIGHT * 2
        dw      1, 4
        dd      0, 0, 0, 0, 16, 0
        ; palette, B G R 0: the sixteen standard colours
        db      0x00,0x00,0x00,0, 0x00,0x00,0x80,0, 0x00,0x80,0x00,0, 0x00,0x80,0x80,0
        db      0x80,0x00,0x00,0, 0x80,0x00,0x80,0, 0x80,0x80,0x00,0, 0xC0,0xC0,0xC0,0
        db      0x80,0x80,0x80,0, 0x00,0x00,0xFF,0, 0x00,0xFF,0x00,0, 0x00,0xFF,0xFF,0
        db      0xFF,0x00,0x00,0, 0xFF,0x00,0xFF,0, 0xFF,0xFF,0x00,0, 0xFF,0xFF,0xFF,0

; a palette digit's value; '.' is colour 0 under a set mask bit
%define nib(c) ((c) == '.' ? 0 : ((c) <= '9' ? (c) - '0' : (c) - 'A' + 10))

%macro xorrow 1
%assign i 1
%rep WIDTH / 2
%substr c1 %1 i
%substr c2 %1 i+1
        db      (nib(c1) << 4) | nib(c2)
%assign i i+2
%endrep
%endmacro

%macro androw 1
%assign i 1
%rep WIDTH / 8
%assign bits 0
%rep 8
%substr c %1 i
%assign bits (bits << 1) | (c == '.')
%assign i i+1
%endrep
        db      bits
%endrep
%endmacro

%assign k HEIGHT-1
%rep HEIGHT
        xorrow  r%[k]
%assign k k-1
%endrep
%assign k HEIGHT-1
%rep HEIGHT
        androw  r%[k]
%assign k k-1
%endrep
image_end:
