; Icon 201: the editor's error marker. One 32 x 32 image with 16 colours; the
; upper-left 16 x 16 pixels hold a yellow warning triangle with a black
; exclamation mark, everything else is transparent.
;
; Rows are written top-down as palette digits ('.' = transparent) and emitted
; bottom-up, as the icon format wants.

%define WIDTH 32
%define HEIGHT 32

%define r0  '.......00.......................'
%define r1  '......0BB0......................'
%define r2  '......0BB0......................'
%define r3  '.....0BBBB0.....................'
%define r4  '.....0B00B0.....................'
%define r5  '....0BB00BB0....................'
%define r6  '....0BB00BB0....................'
%define r7  '...0BBB00BBB0...................'
%define r8  '...0BBB00BBB0...................'
%define r9  '..0BBBB00BBBB0..................'
%define r10 '..0BBBBBBBBBB0..................'
%define r11 '.0BBBBB00BBBBB0.................'
%define r12 '.0BBBBB00BBBBB0.................'
%define r13 '0BBBBBBBBBBBBBB0................'
%define r14 '0000000000000000................'
%assign k 15
%rep 17
%define r%[k] '................................'
%assign k k+1
%endrep

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
