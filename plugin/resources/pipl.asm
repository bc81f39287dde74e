; Plug-in property list ("PIPL" 16): tells the host what this file is, under
; which menu name and category to list it and which export to call.
; Assemble with -DMENU_NAME='"..."' -DCATEGORY='"..."'.
;
; Four-character codes are 32-bit little-endian values whose most significant
; byte is the first letter, so their bytes appear reversed in the file.

%macro fourcc 1
        db      %substr(%1, 4, 1), %substr(%1, 3, 1), %substr(%1, 2, 1), %substr(%1, 1, 1)
%endmacro

; property vendor, key, length: the id is always 0
%macro property 2
        fourcc  'LMHS'
        fourcc  %1
        dd      0
        dd      %2
%endmacro

; a 36-byte Pascal-and-C string slot: length byte, characters, NUL, zeros
%macro pstring36 1
%strlen .n %1
        db      .n, %1, 0
        times   36 - (.n + 2) db 0
%endmacro

        dw      1               ; marker
        dd      0               ; list version
        dd      9               ; number of properties

        property 'kind', 4
        fourcc  'LMFL'          ; a filter plug-in

        property 'name', 36
        pstring36 MENU_NAME

        property 'catg', 36
        pstring36 CATEGORY

        property 'vers', 4
        dd      0x00040000      ; interface version 4.0

        property 'prty', 4
        dd      0               ; load priority

        property 'mode', 4
        db      0x10, 0, 0, 0   ; RGB colour images only (flag word 0x1000, high byte first)

        property 'host', 4
        fourcc  'LMHS'

        property 'wx86', 12
        db      'ENTRYPOINT1', 0

        property 'fici', 28     ; input code, output code, two flag bytes per image situation
        db      1, 1, 0, 0
        db      1, 1, 0, 0
        db      6, 1, 0, 0
        db      6, 1, 0, 0
        db      6, 1, 0, 0
        db      0, 0, 0, 0
        db      0, 0, 0, 0
