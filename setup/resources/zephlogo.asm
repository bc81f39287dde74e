; "ZephLogo": the installer's logo as a placeable Windows metafile - a
; 22-byte placeable header, the standard metafile header, then the records.
; The picture is drawn in a logical space of 1000 x 750 that the metafile
; sets itself (window origin and extent); the main window maps it onto its
; client area less a margin of one twentieth on every side.
;
; It shows the package's emblem: three swept wind strokes that form a "Z"
; inside a broken ring, a few sparks, and the word "OBSIDIA" with a shadow.
; The centre stays quiet: the installer's dialogs sit there.

LOGW equ 1000
LOGH equ 750

; ---- placeable header: key, handle, bounding box, units per inch, checksum
KEY equ 0x9AC6CDD7
INCH equ 1440
        dd      KEY
        dw      0                               ; handle (always 0 on disk)
        dw      0, 0, LOGW, LOGH                ; left, top, right, bottom
        dw      INCH
        dd      0
        dw      (KEY & 0xFFFF) ^ (KEY >> 16) ^ LOGW ^ LOGH ^ INCH

; ---- standard header: sizes count 16-bit words ----
meta:
        dw      1, 9, 0x0300                    ; in memory, header words, version
        dd      (meta_end - meta) / 2           ; whole metafile
        dw      OBJECTS                         ; object table size
        dd      MAXREC                          ; largest record
        dw      0

%assign maxrec 0
%macro note_size 1
%if (%1) > maxrec
%assign maxrec (%1)
%endif
%endmacro

; Parameters of a record are stored in reverse order of the call's arguments
; where the format says so (coordinates y before x, rectangles bottom first).
%macro window_org 2                             ; x, y
        dd      5
        dw      0x020B, %2, %1
%endmacro
%macro window_ext 2                             ; x, y
        dd      5
        dw      0x020C, %2, %1
%endmacro
%macro poly_fill_mode 1
        dd      4
        dw      0x0106, %1
%endmacro
%macro bk_mode 1
        dd      4
        dw      0x0102, %1
%endmacro
%macro text_color 1                             ; 0x00BBGGRR
        dd      5
        dw      0x0209
        dd      %1
%endmacro
%macro text_align 1
        dd      4
        dw      0x012E, %1
%endmacro

%assign objects 0
%macro pen 3                                    ; style, width, colour
        dd      8
        dw      0x02FA, %1, %2, 0
        dd      %3
%assign objects objects + 1
%endmacro
%macro brush 2                                  ; style, colour
        dd      7
        dw      0x02FC, %1
        dd      %2
        dw      0
%assign objects objects + 1
%endmacro
; font height, weight, face (a string of at most 31 characters)
%macro font 3
%strlen facelen %3
%assign words 3 + 9 + (facelen + 2) / 2
        dd      words
        dw      0x02FB
        dw      -(%1), 0, 0, 0, %2
        db      0, 0, 0, 0, 0, 0, 2, 0x22       ; italic ... antialiased quality, swiss
        db      %3, 0
%if (facelen + 1) & 1
        db      0
%endif
        note_size words
%assign objects objects + 1
%endmacro
%macro select 1
        dd      4
        dw      0x012D, %1
%endmacro
%macro ellipse 4                                ; left, top, right, bottom
        dd      7
        dw      0x0418, %4, %3, %2, %1
%endmacro
%macro arc 8                                    ; box, start point, end point
        dd      11
        dw      0x0817, %8, %7, %6, %5, %4, %3, %2, %1
%endmacro
%macro polygon 2-*                              ; x1, y1, x2, y2, ...
%assign n %0 / 2
        dd      4 + 2 * n
        dw      0x0324, n
%rep %0
        dw      %1
%rotate 1
%endrep
        note_size 4 + 2 * n
%endmacro
%macro text 3                                   ; x, y, string
%strlen len %3
%assign words 3 + 1 + (len + 1) / 2 + 2
        dd      words
        dw      0x0521, len
        db      %3
%if len & 1
        db      0
%endif
        dw      %2, %1
        note_size words
%endmacro

; Objects, in the order of their table slots.
PEN_NONE    equ 0
PEN_RING    equ 1
PEN_EDGE    equ 2
BR_NONE     equ 3
BR_WIND     equ 4
BR_WIND2    equ 5
BR_SPARK    equ 6
FONT_MARK   equ 7

        window_org 0, 0
        window_ext LOGW, LOGH
        poly_fill_mode 2                        ; winding
        bk_mode 1                               ; transparent
        pen 5, 0, 0                             ; PS_NULL
        pen 0, 16, 0x00FFE0A0                   ; the ring: pale sky blue
        pen 0, 4, 0x00401000                    ; the strokes' dark edge
        brush 1, 0                              ; BS_NULL
        brush 0, 0x00FFF0D0                     ; strokes: near-white cyan
        brush 0, 0x00F0C060                     ; the middle stroke: deeper blue
        brush 0, 0x0080F0FF                     ; sparks: warm yellow
        font 86, 800, "Arial"

; The broken ring: two arcs around the middle, open at upper right and lower left.
        select PEN_RING
        select BR_NONE
        arc 150, 20, 850, 620, 675, 60, 197, 470
        arc 150, 20, 850, 620, 325, 580, 803, 170

; The "Z": three swept strokes, each tapering to a point at both ends like
; a gust - an upper and a lower one, joined by a long diagonal.
        select PEN_EDGE
        select BR_WIND
        polygon 150, 170,  280, 128,  450, 104,  630, 100,  780, 110,  870, 128,  760, 146,  620, 150,  460, 156,  300, 166
        polygon 130, 560,  260, 532,  420, 516,  590, 514,  740, 524,  860, 548,  720, 566,  560, 576,  400, 580,  250, 578
        select BR_WIND2
        polygon 860, 134,  760, 200,  640, 290,  500, 390,  360, 470,  240, 540,  330, 470,  460, 370,  600, 270,  740, 180

; Sparks.
        select PEN_NONE
        select BR_SPARK
        ellipse 880, 120, 904, 144
        ellipse 920, 200, 936, 216
        ellipse 80, 560, 104, 584
        ellipse 110, 470, 124, 484
        ellipse 860, 560, 876, 576

; The word mark, centred under the emblem, with a shadow.
        select FONT_MARK
        text_align 6                            ; TA_CENTER | TA_TOP
        text_color 0x00401000
        text 506, 646, "OBSIDIA"
        text_color 0x00FFFFFF
        text 500, 640, "OBSIDIA"

        dd      3                               ; end of the metafile
        dw      0
meta_end:

OBJECTS equ objects
MAXREC equ maxrec
