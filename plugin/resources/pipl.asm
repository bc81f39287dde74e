; Plug-in property list ("PIPL" 16): tells the host what this file is, under
; which menu name and category to list it and which export to call.
; Assemble with -DMENU_NAME='"..."' -DCATEGORY='"..."'.

%include "pipl.inc"

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
