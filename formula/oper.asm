; The "OPER" resource: the machine-code templates of the formula compiler.
;
; Assembled with "nasm -f bin", this file IS the resource, byte for byte.
; Each row is an 8-byte name (zero-padded), a 16-bit little-endian code
; length that nasm computes from the row's labels, and the code. The compiler
; looks rows up by name in this order and concatenates their code; a row
; whose first name byte is 0 ends the table.
;
; Conventions shared by every template (i386, 32-bit code):
; - The evaluation stack is the machine stack. A template pops its operands
;   (the rightmost operand on top) and leaves exactly one result. Stack
;   pictures below read left to right from deeper to the top: "a b -- r".
; - EDI holds the state block for the whole routine and is never changed.
; - EAX, ECX, EDX, ESI and EBP are scratch; no register carries a value from
;   one template to the next. EBX is never touched: "prolog" does not save
;   it, and the caller expects it back.
; - No absolute address and no jump out of the template: the code runs
;   wherever the compiler copies it, next to arbitrary neighbours.
; - Nothing is written but the random state (rnd) and the cells (put).
; - No division can trap: every divisor is checked for 0 and -1 (or made
;   unsigned with a quotient that provably fits) before div or idiv.

        bits 32

; ---- state block offsets read by the templates ----
%define PLANE           0       ; int32[16] planeValue
%define POS_X           64
%define X_START         68
%define X_END           72
%define POS_Y           76
%define Y_START         80
%define Y_END           84
%define POS_Z           88
%define Z_START         92
%define Z_END           96
%define SLIDER          100     ; int32[8]
%define AREA_LEFT       132
%define AREA_TOP        136
%define AREA_RIGHT      140
%define AREA_BOTTOM     144
%define RAND_A          148     ; uint16
%define RAND_B          150     ; uint16
%define RAND_TABLE      152     ; int32[56], entries 1..55
%define MAP_TABLE       376     ; uint8[4][256]
%define SINE_TABLE      1400    ; int16[1024]
%define ARCTAN_TABLE    3448    ; uint16[1024]
%define MAG_TABLE       5496    ; uint16[1024]
%define CELL            13688   ; int32[256]
%define IN_ROW_BYTES    17824
%define IN_BASE         17832

; template "name", label ... endtemplate
%macro template 2
  %push template
%2:     db %1
        times 8 - ($ - %2) db 0
        dw %$end - %$code
%$code:
%endmacro

%macro endtemplate 0
%$end:
  %pop
%endmacro

; ---- shared pieces, expanded inside the templates that need them ----

; EAX = |EAX| (the most negative value stays itself, which reads correctly
; as the unsigned magnitude 2^31). Clobbers EDX.
%macro ABS_EAX 0
        cdq
        xor     eax, edx
        sub     eax, edx
%endmacro

; EAX = int16 sineTable[EAX and 1023], sign-extended.
%macro SINE_EAX 0
        and     eax, 1023
        movsx   eax, word [edi + SINE_TABLE + eax*2]
%endmacro

; EAX = low 32 bits of (ECX * sineTable[EAX and 1023] + 8191) >> 14, the
; product and sum in 64 bits (the rounding of r2x, r2y and rad).
%macro POLAR_EAX 0
        SINE_EAX
        imul    ecx
        add     eax, 8191
        adc     edx, 0
        shrd    eax, edx, 14
%endmacro

; EDX:EAX / ECX, signed, ECX not 0. EAX = low 32 bits of the quotient
; truncated toward zero: the division is done on magnitudes as unsigned
; 64 by 32 bits in two steps (high word, then remainder:low word), neither
; of which can overflow, so a quotient beyond 32 bits wraps instead of
; trapping. Clobbers ECX, EDX, ESI, EBP.
%macro DIV64 0
        mov     esi, edx
        xor     esi, ecx                ; bit 31: the quotient is negative
        test    edx, edx
        jns     %%positive
        neg     eax                     ; 64-bit negate of EDX:EAX
        adc     edx, 0
        neg     edx
%%positive:
        mov     ebp, ecx
        sar     ebp, 31
        xor     ecx, ebp
        sub     ecx, ebp                ; |divisor|, 2^31 for the most negative
        mov     ebp, eax
        mov     eax, edx
        xor     edx, edx
        div     ecx                     ; EDX = high word mod divisor
        mov     eax, ebp
        div     ecx                     ; EAX = low word of the quotient
        test    esi, esi
        jns     %%done
        neg     eax
%%done:
%endmacro

; Direction of the vector (EAX, EDX) in 1/1024 turns, -512..512, into EAX.
; Octant folding: f collects y < 0 (4), x < 0 (3) and "steep" (1), the
; arctangent of the flat ratio lo/hi comes from arctanTable, and f unfolds
; it. Magnitudes are unsigned 32-bit and lo * 1024 / hi is taken from a
; 64-bit product, so any argument works (lo <= hi keeps the quotient at
; most 1024: div cannot trap). Clobbers ECX, EDX, ESI.
%macro DIRECTION 0
        xor     ecx, ecx                ; f
        test    edx, edx
        jns     %%y_done
        neg     edx
        or      ecx, 4
%%y_done:
        test    eax, eax
        jns     %%x_done
        neg     eax
        or      ecx, 3
%%x_done:
        cmp     edx, eax
        jbe     %%ordered
        xor     ecx, 1
        xchg    eax, edx
%%ordered:                              ; EAX = hi, EDX = lo
        mov     esi, eax
        mov     eax, edx
        test    eax, eax
        jz      %%fold                  ; lo = 0: angle 0
        xor     edx, edx
        shld    edx, eax, 10
        shl     eax, 10
        div     esi                     ; q = lo * 1024 / hi, 1..1024 or 0
        test    eax, eax
        jz      %%fold
        movzx   eax, word [edi + ARCTAN_TABLE + eax*2 - 2]
        shl     eax, 9                  ; 16.16 radians * 512 / pi
        xor     edx, edx
        mov     esi, 205888
        div     esi
%%fold:
        test    cl, 1
        jz      %%not_steep
        neg     eax
        add     eax, 256
%%not_steep:
        test    cl, 2
        jz      %%not_left
        add     eax, 256
%%not_left:
        test    cl, 4
        jz      %%not_below
        neg     eax
%%not_below:
%endmacro

; Length of the vector (EAX, EDX) into EAX: hi + hi * f(lo/hi) / 65536 with
; f from magnitudeTable, or the constant sqrt(2) - 1 when lo = hi.
; Magnitudes are unsigned 32-bit, the ratio and the products 64-bit, so any
; argument works; a length beyond 2^31 - 1 wraps. Clobbers ECX, EDX.
%macro MAGNITUDE 0
        mov     ecx, edx
        ABS_EAX
        xchg    eax, ecx
        ABS_EAX                         ; ECX = |x|, EAX = |y|
        cmp     eax, ecx
        jbe     %%ordered
        xchg    eax, ecx
%%ordered:                              ; EAX = lo, ECX = hi
        cmp     eax, ecx
        jne     %%ratio
        mov     eax, 27146              ; 65536 * (sqrt(2) - 1)
        jmp     %%scale
%%ratio:
        xor     edx, edx
        shld    edx, eax, 10
        shl     eax, 10
        div     ecx                     ; q = lo * 1024 / hi < 1024
        movzx   eax, word [edi + MAG_TABLE + eax*2]
%%scale:
        mul     ecx
        shrd    eax, edx, 16
        add     eax, ecx
%endmacro

; Clamps EAX to [lo, hi - 1], both operands memory: the upper bound first,
; the lower bound last, so an empty range gives lo.
%macro CLAMP_EAX 2
        cmp     eax, %2
        jl      %%below_hi
        mov     eax, %2
        dec     eax
%%below_hi:
        cmp     eax, %1
        jge     %%above_lo
        mov     eax, %1
%%above_lo:
%endmacro

; ====================================================================
; Structural templates. The first five are fixed byte sequences.
; ====================================================================

; A whole routine by itself: returns 0. Replaces the code of a formula
; with a syntax error.
template "error", t_error
        db      0x2B, 0xC0              ; sub eax, eax
        db      0xC3                    ; ret
endtemplate

; -- (entered by call with the state block as the only argument)
; Saves EBP, ESI, EDI and ESP itself, then EDI = the argument.
template "prolog", t_prolog
        db      0x55, 0x56, 0x57        ; push ebp / push esi / push edi
        db      0x54                    ; push esp
        db      0x8B, 0x7C, 0x24, 0x14  ; mov edi, [esp + 20]
endtemplate

; r --  (returns r in EAX). Restoring the saved ESP makes the return safe.
template "epilog", t_epilog
        db      0x58, 0x5C              ; pop eax / pop esp
        db      0x5F, 0x5E, 0x5D        ; pop edi / pop esi / pop ebp
        db      0xC3                    ; ret
endtemplate

; -- n   (push imm32: the compiler appends the literal after this byte)
template "number", t_number
        db      0x68
endtemplate

; a b -- b   (the sequence operator drops its left value)
template ",", t_comma
        db      0x58                    ; pop eax
endtemplate

; ====================================================================
; Operators
; ====================================================================

; c t f -- (c ? t : f). Both branches were already evaluated.
template "?", t_cond
        pop     eax                     ; f
        pop     ecx                     ; t
        pop     edx                     ; c
        test    edx, edx
        jz      .pick_f
        mov     eax, ecx
.pick_f:
        push    eax
endtemplate

; a -- !a. Trick: cmp a, 1 borrows exactly when a = 0; sbb turns the borrow
; into -1, neg into 1.
template "!", t_not
        pop     eax
        cmp     eax, 1
        sbb     eax, eax
        neg     eax
        push    eax
endtemplate

; a b -- (a && b). Trick: neg sets the carry exactly for a non-zero value,
; sbb spreads it into a -1 mask; the masks are combined and negated to 0/1.
template "&&", t_and
        pop     ecx
        pop     eax
        neg     eax
        sbb     eax, eax
        neg     ecx
        sbb     ecx, ecx
        and     eax, ecx
        neg     eax
        push    eax
endtemplate

; a b -- (a || b). Same carry masks, or-ed.
template "||", t_or
        pop     ecx
        pop     eax
        neg     eax
        sbb     eax, eax
        neg     ecx
        sbb     ecx, ecx
        or      eax, ecx
        neg     eax
        push    eax
endtemplate

; a -- ~a, in place.
template "~", t_complement
        not     dword [esp]
endtemplate

; a b -- a & b, in place on a's slot.
template "&", t_bitand
        pop     eax
        and     [esp], eax
endtemplate

; a b -- a | b
template "|", t_bitor
        pop     eax
        or      [esp], eax
endtemplate

; a b -- a ^ b
template "^", t_bitxor
        pop     eax
        xor     [esp], eax
endtemplate

; a b -- (a OP b) as 0/1, signed. setcc writes the low byte of a cleared EDX.
%macro COMPARE 3
template %1, %2
        pop     ecx
        pop     eax
        xor     edx, edx
        cmp     eax, ecx
        %3      dl
        push    edx
endtemplate
%endmacro
        COMPARE "==", t_eq, sete
        COMPARE "!=", t_ne, setne
        COMPARE "<",  t_lt, setl
        COMPARE "<=", t_le, setle
        COMPARE ">",  t_gt, setg
        COMPARE ">=", t_ge, setge

; a b -- a << (b and 31). The processor masks the count to 5 bits itself.
; Shifted in a register: a shift by CL with a memory operand is a slow
; read-modify-write that also has to merge the flags.
template "<<", t_shl
        pop     ecx
        pop     eax
        shl     eax, cl
        push    eax
endtemplate

; a b -- a >> (b and 31), filling with zero bits.
template ">>", t_shr
        pop     ecx
        pop     eax
        shr     eax, cl
        push    eax
endtemplate

; a -- -a (the most negative value stays itself)
template "negate", t_negate
        neg     dword [esp]
endtemplate

; a b -- a + b
template "+", t_add
        pop     eax
        add     [esp], eax
endtemplate

; a b -- a - b
template "-", t_sub
        pop     eax
        sub     [esp], eax
endtemplate

; a b -- low 32 bits of a * b
template "*", t_mul
        pop     eax
        imul    eax, [esp]
        mov     [esp], eax
endtemplate

; a b -- a / b truncated; 0 when b = 0. For b = -1 the quotient is -a with
; wrap-around (idiv would trap on the most negative a), so that case negates.
template "/", t_div
        pop     ecx
        pop     eax
        test    ecx, ecx
        jz      .zero
        cmp     ecx, -1
        je      .negate
        cdq
        idiv    ecx
        jmp     short .push
.negate:
        neg     eax
        jmp     short .push
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; a b -- remainder of a / b with the sign of a; 0 when b = 0. Every value
; divides by -1 exactly, so b = -1 gives 0 without idiv (which could trap).
template "%", t_rem
        pop     ecx
        pop     eax
        xor     edx, edx
        test    ecx, ecx
        jz      .push
        cmp     ecx, -1
        je      .push
        cdq
        idiv    ecx
.push:
        push    edx
endtemplate

; ====================================================================
; Variables
; ====================================================================

; -- r g b a: planeValue[0..3]
template "r", t_r
        push    dword [edi + PLANE + 0]
endtemplate
template "g", t_g
        push    dword [edi + PLANE + 4]
endtemplate
template "b", t_b
        push    dword [edi + PLANE + 8]
endtemplate
template "a", t_a
        push    dword [edi + PLANE + 12]
endtemplate

; -- planeValue[z - zStart]. The index is taken modulo the 16 slots, so no
; z can reach outside planeValue.
template "c", t_c
        mov     eax, [edi + POS_Z]
        sub     eax, [edi + Z_START]
        and     eax, 15
        push    dword [edi + PLANE + eax*4]
endtemplate

; Luminance and colour differences: weighted sums / 256 truncated toward
; zero. No multiply: the weights are built from lea (x + x*2^k) steps and
; shifts. Division by 256 toward zero: a negative sum is biased by 255
; before the arithmetic shift (cdq gives the all-ones mask for that).
%macro DIV256_EAX 0
        cdq
        and     edx, 255
        add     eax, edx
        sar     eax, 8
%endmacro

; -- (76 r + 150 g + 29 b) / 256
template "i", t_i
        mov     eax, [edi + PLANE + 0]
        lea     ecx, [eax + eax*8]      ; 9r
        lea     ecx, [eax + ecx*2]      ; 19r
        shl     ecx, 2                  ; 76r
        mov     eax, [edi + PLANE + 4]
        lea     eax, [eax + eax*4]      ; 5g
        lea     eax, [eax + eax*4]      ; 25g
        lea     eax, [eax + eax*2]      ; 75g
        lea     ecx, [ecx + eax*2]      ; + 150g
        mov     eax, [edi + PLANE + 8]
        lea     edx, [eax + eax*2]      ; 3b
        shl     eax, 5                  ; 32b
        sub     eax, edx                ; 29b
        add     eax, ecx
        DIV256_EAX
        push    eax
endtemplate

; -- (-19 r - 37 g + 56 b) / 256
template "u", t_u
        mov     eax, [edi + PLANE + 8]
        lea     ecx, [eax*8]            ; 8b
        sub     ecx, eax                ; 7b
        shl     ecx, 3                  ; 56b
        mov     eax, [edi + PLANE + 0]
        lea     edx, [eax + eax*8]      ; 9r
        lea     edx, [eax + edx*2]      ; 19r
        sub     ecx, edx
        mov     eax, [edi + PLANE + 4]
        lea     edx, [eax + eax*8]      ; 9g
        lea     edx, [eax + edx*4]      ; 37g
        sub     ecx, edx
        mov     eax, ecx
        DIV256_EAX
        push    eax
endtemplate

; -- (78 r - 65 g - 13 b) / 256
template "v", t_v
        mov     eax, [edi + PLANE + 0]
        lea     ecx, [eax + eax*2]      ; 3r
        lea     ecx, [eax + ecx*4]      ; 13r
        lea     ecx, [ecx + ecx*2]      ; 39r
        add     ecx, ecx                ; 78r
        mov     eax, [edi + PLANE + 4]
        mov     edx, eax
        shl     edx, 6                  ; 64g
        add     edx, eax                ; 65g
        sub     ecx, edx
        mov     eax, [edi + PLANE + 8]
        lea     edx, [eax + eax*2]      ; 3b
        lea     edx, [eax + edx*4]      ; 13b
        sub     ecx, edx
        mov     eax, ecx
        DIV256_EAX
        push    eax
endtemplate

; -- direction of the pixel from the centre (half the size, rounded down,
; shift as unsigned), -512..512
template "d", t_d
        mov     ecx, [edi + X_END]
        sub     ecx, [edi + X_START]
        shr     ecx, 1
        mov     eax, [edi + POS_X]
        sub     eax, ecx
        mov     ecx, [edi + Y_END]
        sub     ecx, [edi + Y_START]
        shr     ecx, 1
        mov     edx, [edi + POS_Y]
        sub     edx, ecx
        DIRECTION
        push    eax
endtemplate

; -- distance of the pixel from the centre (half the size rounded up: the
; negative half-size shifts arithmetically)
template "m", t_m
        mov     ecx, [edi + X_START]
        sub     ecx, [edi + X_END]
        sar     ecx, 1
        mov     eax, [edi + POS_X]
        add     eax, ecx
        mov     ecx, [edi + Y_START]
        sub     ecx, [edi + Y_END]
        sar     ecx, 1
        mov     edx, [edi + POS_Y]
        add     edx, ecx
        MAGNITUDE
        push    eax
endtemplate

; -- 255 (R G B A I U V C), 1024 (D)
%macro CONSTANT 3
template %1, %2
        push    dword %3
endtemplate
%endmacro
        CONSTANT "R", t_R, 255
        CONSTANT "G", t_G, 255
        CONSTANT "B", t_B, 255
        CONSTANT "A", t_A, 255
        CONSTANT "I", t_I, 255
        CONSTANT "U", t_U, 255
        CONSTANT "V", t_V, 255
        CONSTANT "C", t_C, 255
        CONSTANT "D", t_D, 1024

; -- length of the diagonal of the rectangle
template "M", t_M
        mov     eax, [edi + X_END]
        sub     eax, [edi + X_START]
        mov     edx, [edi + Y_END]
        sub     edx, [edi + Y_START]
        MAGNITUDE
        push    eax
endtemplate

; -- x y z X Y Z: position and sizes
%macro FIELD 3
template %1, %2
        push    dword [edi + %3]
endtemplate
%endmacro
        FIELD "x", t_x, POS_X
        FIELD "y", t_y, POS_Y
        FIELD "z", t_z, POS_Z
        FIELD "X", t_X, X_END
        FIELD "Y", t_Y, Y_END
        FIELD "Z", t_Z, Z_END

; ====================================================================
; Functions (arguments in source order, the last one on top)
; ====================================================================

; a b -- min(a, b): b replaces a in place when b < a
template "min", t_min
        pop     ecx
        cmp     ecx, [esp]
        jge     .keep
        mov     [esp], ecx
.keep:
endtemplate

; a b -- max(a, b)
template "max", t_max
        pop     ecx
        cmp     ecx, [esp]
        jle     .keep
        mov     [esp], ecx
.keep:
endtemplate

; a -- |a|, branch-free (cdq mask: xor then subtract)
template "abs", t_abs
        mov     eax, [esp]
        ABS_EAX
        mov     [esp], eax
endtemplate

; a b c -- a + b, at most c
template "add", t_addlim
        pop     ecx
        pop     eax
        add     eax, [esp]
        cmp     eax, ecx
        jl      .keep
        mov     eax, ecx
.keep:
        mov     [esp], eax
endtemplate

; a b c -- a - b, at least c
template "sub", t_sublim
        pop     ecx
        pop     edx
        mov     eax, [esp]
        sub     eax, edx
        cmp     eax, ecx
        jg      .keep
        mov     eax, ecx
.keep:
        mov     [esp], eax
endtemplate

; a b -- |a - b|
template "dif", t_dif
        pop     ecx
        mov     eax, [esp]
        sub     eax, ecx
        ABS_EAX
        mov     [esp], eax
endtemplate

; a b n d -- a*n/d + b*(d-n)/d; 0 when d = 0. Products in 64 bits, each
; quotient truncated separately by DIV64 (low 32 bits, never a trap); the
; first quotient waits in a's slot while the second is formed.
template "mix", t_mix
        mov     ecx, [esp]              ; d
        test    ecx, ecx
        jz      .zero
        mov     eax, [esp + 12]         ; a
        imul    dword [esp + 4]         ; a * n
        DIV64
        mov     [esp + 12], eax
        mov     eax, [esp]
        sub     eax, [esp + 4]          ; d - n
        imul    dword [esp + 8]         ; b * (d - n)
        mov     ecx, [esp]
        DIV64
        add     eax, [esp + 12]
        jmp     short .drop
.zero:
        xor     eax, eax
.drop:
        add     esp, 16
        push    eax
endtemplate

; a il ih ol oh -- ol + (a - il) * (oh - ol) / (ih - il); 0 when ih = il.
; Differences in 32 bits, product in 64, quotient by DIV64 (wraps, never
; traps). Arguments are read in place, then dropped.
template "scl", t_scl
        mov     ecx, [esp + 8]
        sub     ecx, [esp + 12]         ; ih - il
        jz      .zero
        mov     eax, [esp + 16]
        sub     eax, [esp + 12]         ; a - il
        mov     edx, [esp]
        sub     edx, [esp + 4]          ; oh - ol
        imul    edx
        DIV64
        add     eax, [esp + 4]
        jmp     short .drop
.zero:
        xor     eax, eax
.drop:
        add     esp, 20
        push    eax
endtemplate

; a -- floor(sqrt(a)); a itself when a <= 1. Newton's iteration on
; unsigned values from g = a/2: while g > q, q = a/g and g = (g + q)/2.
; g stays between 1 and a, so div never traps.
template "sqr", t_sqr
        mov     eax, [esp]
        cmp     eax, 1
        jle     .done
        mov     ecx, eax                ; a
        mov     esi, eax
        shr     esi, 1                  ; g
        mov     ebp, 2                  ; q
.step:
        cmp     esi, ebp
        jbe     .found
        mov     eax, ecx
        xor     edx, edx
        div     esi
        mov     ebp, eax
        add     esi, eax
        rcr     esi, 1                  ; (g + q) / 2 with the carry
        jmp     short .step
.found:
        mov     [esp], esi
.done:
endtemplate

; a b -- a + (v mod n), n = b - a + 1, unsigned. Both indices advance
; first, past 55 back to 1; v = table[A] - table[B] is stored at A.
; n = 0 (b = a - 1) means the range holds all 2^32 values: the result is
; a + v, with no division.
template "rnd", t_rnd
        movzx   ecx, word [edi + RAND_B]
        inc     ecx
        cmp     ecx, 55
        jbe     .b_ok
        mov     ecx, 1
.b_ok:
        mov     [edi + RAND_B], cx
        movzx   eax, word [edi + RAND_A]
        inc     eax
        cmp     eax, 55
        jbe     .a_ok
        mov     eax, 1
.a_ok:
        mov     [edi + RAND_A], ax
        mov     edx, [edi + RAND_TABLE + eax*4]
        sub     edx, [edi + RAND_TABLE + ecx*4]
        mov     [edi + RAND_TABLE + eax*4], edx
        mov     eax, edx                ; v
        pop     ecx                     ; b
        pop     esi                     ; a
        sub     ecx, esi
        inc     ecx                     ; n
        jz      .whole
        xor     edx, edx
        div     ecx
        mov     eax, edx
.whole:
        add     eax, esi
        push    eax
endtemplate

; i -- slider[i], 0 unless 0 <= i <= 7 (one unsigned compare)
template "ctl", t_ctl
        pop     ecx
        xor     eax, eax
        cmp     ecx, 8
        jae     .push
        mov     eax, [edi + SLIDER + ecx*4]
.push:
        push    eax
endtemplate

; i a b -- a + slider[i] * (b - a) / 255 (product in 32 bits); 0 unless
; 0 <= i <= 7. The divisor is the constant 255: idiv cannot trap.
template "val", t_val
        mov     ecx, [esp + 8]
        xor     eax, eax
        cmp     ecx, 8
        jae     .drop
        mov     eax, [esp]
        sub     eax, [esp + 4]
        imul    eax, [edi + SLIDER + ecx*4]
        cdq
        mov     ecx, 255
        idiv    ecx
        add     eax, [esp + 4]
.drop:
        add     esp, 12
        push    eax
endtemplate

; i n -- mapTable[i][n clamped to 0..255]; 0 unless 0 <= i <= 3
template "map", t_map
        pop     edx                     ; n
        pop     ecx                     ; i
        xor     eax, eax
        cmp     ecx, 4
        jae     .push
        test    edx, edx
        jns     .not_negative
        xor     edx, edx
.not_negative:
        cmp     edx, 255
        jle     .in_range
        mov     edx, 255
.in_range:
        shl     ecx, 8
        add     ecx, edx
        movzx   eax, byte [edi + MAP_TABLE + ecx]
.push:
        push    eax
endtemplate

; x y z -- source sample of plane z at image column x, row y, both clamped
; into the source rectangle (so every read stays in the host's buffer);
; 0 unless zStart <= z < zEnd.
template "src", t_src
        mov     ecx, [esp]
        sub     ecx, [edi + Z_START]    ; plane offset
        mov     edx, [edi + Z_END]
        sub     edx, [edi + Z_START]    ; planes per pixel
        xor     eax, eax
        cmp     ecx, edx
        jae     .drop
        mov     eax, [esp + 8]
        CLAMP_EAX [edi + AREA_LEFT], [edi + AREA_RIGHT]
        sub     eax, [edi + AREA_LEFT]
        imul    eax, edx
        add     ecx, eax
        mov     eax, [esp + 4]
        CLAMP_EAX [edi + AREA_TOP], [edi + AREA_BOTTOM]
        sub     eax, [edi + AREA_TOP]
        imul    eax, [edi + IN_ROW_BYTES]
        add     eax, ecx
        add     eax, [edi + IN_BASE]
        movzx   eax, byte [eax]
.drop:
        add     esp, 12
        push    eax
endtemplate

; m11 m12 m13 m21 m22 m23 m31 m32 m33 d -- sum of mij * s(x+j-2, y+i-2) / d
; 3 x 3 convolution of the current plane. Neighbours outside the source
; rectangle read the nearest sample inside it (as src does), so the edges
; never read outside the host's buffer. d = 0 gives 0; d = -1 negates with
; wrap-around (idiv would trap on the most negative sum). A z outside the
; pixel gives 0.
; The three clamped column offsets are pushed first, then each row pointer
; is formed once and its three samples weighted; EBP walks the weights
; from m11 down the stack.
;   stack during the sum: [esp] col-1 [esp+4] col [esp+8] col+1
;                         [esp+12] d, [esp+16] m33 ... [esp+48] m11
template "cnv", t_cnv
        mov     ecx, [edi + Z_END]
        sub     ecx, [edi + Z_START]    ; planes per pixel
        mov     eax, [edi + POS_Z]
        sub     eax, [edi + Z_START]
        cmp     eax, ecx
        jae     .outside
        mov     edx, 1
.column:                                ; push offsets of x+1, x, x-1
        mov     eax, [edi + POS_X]
        add     eax, edx
        CLAMP_EAX [edi + AREA_LEFT], [edi + AREA_RIGHT]
        sub     eax, [edi + AREA_LEFT]
        imul    eax, ecx
        push    eax
        dec     edx
        cmp     edx, -1
        jge     .column
        xor     esi, esi                ; sum
        lea     ebp, [esp + 48]         ; -> m11
        mov     ecx, -1                 ; row offset
.row:
        mov     eax, [edi + POS_Y]
        add     eax, ecx
        CLAMP_EAX [edi + AREA_TOP], [edi + AREA_BOTTOM]
        sub     eax, [edi + AREA_TOP]
        imul    eax, [edi + IN_ROW_BYTES]
        add     eax, [edi + IN_BASE]
        add     eax, [edi + POS_Z]
        sub     eax, [edi + Z_START]    ; -> sample of this row, column 0
        mov     edx, [esp]
        movzx   edx, byte [eax + edx]
        imul    edx, [ebp]
        add     esi, edx
        mov     edx, [esp + 4]
        movzx   edx, byte [eax + edx]
        imul    edx, [ebp - 4]
        add     esi, edx
        mov     edx, [esp + 8]
        movzx   edx, byte [eax + edx]
        imul    edx, [ebp - 8]
        add     esi, edx
        sub     ebp, 12
        inc     ecx
        cmp     ecx, 1
        jle     .row
        add     esp, 12                 ; drop the column offsets
        mov     ecx, [esp]              ; d
        mov     eax, esi
        test    ecx, ecx
        jz      .zero
        cmp     ecx, -1
        je      .negate
        cdq
        idiv    ecx
        jmp     short .drop
.negate:
        neg     eax
        jmp     short .drop
.outside:
.zero:
        xor     eax, eax
.drop:
        add     esp, 40
        push    eax
endtemplate

; d m z -- source sample of plane z at direction d, distance m from the
; centre of the rectangle (half its size, rounded down), clamped into the
; rectangle; 0 unless 0 <= z < zEnd - zStart (never outside the pixel).
template "rad", t_rad
        mov     eax, [esp + 8]          ; d
        mov     ecx, [esp + 4]          ; m
        POLAR_EAX
        mov     edx, [edi + X_END]
        sub     edx, [edi + X_START]
        shr     edx, 1
        add     eax, edx
        CLAMP_EAX dword 0, [edi + X_END]
        mov     ebp, eax                ; column
        mov     eax, [esp + 8]
        sub     eax, 256
        mov     ecx, [esp + 4]
        POLAR_EAX
        mov     edx, [edi + Y_END]
        sub     edx, [edi + Y_START]
        shr     edx, 1
        add     eax, edx
        CLAMP_EAX dword 0, [edi + Y_END]  ; row
        mov     ecx, [esp]              ; z
        mov     edx, [edi + Z_END]
        sub     edx, [edi + Z_START]
        cmp     ecx, edx
        jae     .outside
        imul    eax, [edi + IN_ROW_BYTES]
        imul    ebp, edx
        add     eax, ebp
        add     eax, ecx
        add     eax, [edi + IN_BASE]
        movzx   eax, byte [eax]
        jmp     short .drop
.outside:
        xor     eax, eax
.drop:
        add     esp, 12
        push    eax
endtemplate

; x y -- direction of (x, y), -512..512
template "c2d", t_c2d
        pop     edx
        pop     eax
        DIRECTION
        push    eax
endtemplate

; x y -- length of (x, y)
template "c2m", t_c2m
        pop     edx
        pop     eax
        MAGNITUDE
        push    eax
endtemplate

; d m -- x component of the vector of direction d and length m
template "r2x", t_r2x
        pop     ecx                     ; m
        pop     eax                     ; d
        POLAR_EAX
        push    eax
endtemplate

; d m -- y component: the cosine table a quarter turn back
template "r2y", t_r2y
        pop     ecx
        pop     eax
        sub     eax, 256
        POLAR_EAX
        push    eax
endtemplate

; a -- sineTable[|a - 256| and 1023] >> 5 (the table holds the cosine)
template "sin", t_sin
        pop     eax
        sub     eax, 256
        ABS_EAX
        SINE_EAX
        sar     eax, 5
        push    eax
endtemplate

; a -- sineTable[|a| and 1023] >> 5
template "cos", t_cos
        pop     eax
        ABS_EAX
        SINE_EAX
        sar     eax, 5
        push    eax
endtemplate

; a -- s * 1024 / c (truncated), 0 when c = 0. |s * 1024| < 2^26 and
; |c| >= 1, so idiv cannot trap.
template "tan", t_tan
        pop     eax
        mov     ecx, eax
        ABS_EAX
        SINE_EAX
        mov     esi, eax                ; c
        mov     eax, ecx
        sub     eax, 256
        ABS_EAX
        SINE_EAX                        ; s
        test    esi, esi
        jz      .zero
        shl     eax, 10
        cdq
        idiv    esi
        jmp     short .push
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; i -- cell[i], or i itself unless 0 <= i <= 255
template "get", t_get
        mov     eax, [esp]
        cmp     eax, 256
        jae     .keep
        mov     eax, [edi + CELL + eax*4]
        mov     [esp], eax
.keep:
endtemplate

; v i -- v; stores v in cell[i] when 0 <= i <= 255
template "put", t_put
        pop     ecx
        cmp     ecx, 256
        jae     .keep
        mov     eax, [esp]
        mov     [edi + CELL + ecx*4], eax
.keep:
endtemplate

; end of the table
        times 10 db 0
