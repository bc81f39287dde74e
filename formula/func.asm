; The "FUNC" resource: the vocabulary of the formula language.
;
; Rows of 10 bytes: the name (ASCII, zero-padded to 8 bytes, at most 7
; characters so that it stays terminated) and its arity as a little-endian
; int16. Arity 0 makes a variable, written without parentheses; arity n makes
; a function of exactly n arguments. The parser looks names up in row order,
; case-sensitively, so the order below is part of the format. A row whose
; first byte is zero ends the table: 51 rows + terminator = 520 bytes.

%macro row 2
%%name: db %1
        times 8 - ($ - %%name) db 0
        dw %2
%endmacro

        ; variables
        row 'r', 0
        row 'g', 0
        row 'b', 0
        row 'a', 0
        row 'c', 0
        row 'i', 0
        row 'u', 0
        row 'v', 0
        row 'd', 0
        row 'm', 0
        row 'R', 0
        row 'G', 0
        row 'B', 0
        row 'A', 0
        row 'C', 0
        row 'I', 0
        row 'U', 0
        row 'V', 0
        row 'D', 0
        row 'M', 0
        row 'x', 0
        row 'y', 0
        row 'z', 0
        row 'X', 0
        row 'Y', 0
        row 'Z', 0
        ; functions
        row 'min', 2
        row 'max', 2
        row 'abs', 1
        row 'add', 3
        row 'sub', 3
        row 'dif', 2
        row 'mix', 4
        row 'scl', 5
        row 'sqr', 1
        row 'rnd', 2
        row 'ctl', 1
        row 'val', 3
        row 'map', 2
        row 'src', 3
        row 'cnv', 10
        row 'rad', 3
        row 'c2d', 2
        row 'c2m', 2
        row 'r2x', 2
        row 'r2y', 2
        row 'sin', 1
        row 'cos', 1
        row 'tan', 1
        row 'get', 1
        row 'put', 2
        ; end of table
        times 10 db 0

%if $ - $$ != 520
%error "FUNC must be 520 bytes"
%endif
