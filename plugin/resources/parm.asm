; Filter definition block ("PARM" 16), 8296 bytes. Assemble with
; -DMADE_FILTER=0|1, -DHAS_DIALOG=0|1 and -DTITLE='"..."' -DCATEGORY='"..."'.

%macro slot 2                   ; text, slot size
%%start:
        db      %1, 0
        times   %2 - ($ - %%start) db 0
%endmacro

        dd      8296            ; size
        dd      MADE_FILTER     ; madeFilter
        dd      101, 0, 0, 0, 0, 0, 0, 0   ; sliderValue
        dd      HAS_DIALOG      ; hasDialog
        dd      1, 1, 1         ; reserved
        dd      0, 0, 0, 0      ; mapShown
        dd      1, 0, 0, 0, 0, 0, 0, 0     ; sliderShown: the noise intensity only
        slot    CATEGORY, 256
        slot    TITLE, 256
        slot    "Copyright (c) 2026 The Tinctor authors", 256
        slot    "Written by the Tinctor team", 256
        slot    "Map 0:", 256
        slot    "Map 1:", 256
        slot    "Map 2:", 256
        slot    "Map 3:", 256
        slot    "Noise Intensity", 256
        slot    "Control 1:", 256
        slot    "Control 2:", 256
        slot    "Control 3:", 256
        slot    "Control 4:", 256
        slot    "Control 5:", 256
        slot    "Control 6:", 256
        slot    "Control 7:", 256
        slot    "sub(c,rnd(0,ctl(0)),z)", 1024
        slot    "sub(c,rnd(0,ctl(0)),z)", 1024
        slot    "sub(c,rnd(0,ctl(0)),z)", 1024
        slot    "a", 1024

%if $ - $$ != 8296
%error "the definition block must be 8296 bytes"
%endif
