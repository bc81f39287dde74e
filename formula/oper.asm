; The "OPER" resource: the machine-code templates of the formula compiler.
;
; Assembled with "nasm -f bin", this file IS the resource, byte for byte.
; Each row is an 8-byte name (zero-padded), a 16-bit little-endian code
; length and the code. The compiler looks rows up by name in this order and
; concatenates their code; a row whose first name byte is 0 ends the table.
;
; Every row keeps the name, the place and the code length of the plug-in
; as it has always shipped (2691 bytes in all), because which formulas fit
; the 2047 bytes of a code buffer, and the range an overflow reports, follow
; from these lengths, and settings files and made filters travel between
; users. `template` takes the length; code that comes out shorter is padded
; (at the end with multi-byte no-ops, or with dead bytes behind an
; unconditional jump, which cost nothing); longer code stops the assembly.
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
; - Every read stays inside the state block or the host's input buffer.
; - Divisions: a divisor of 0 is tested where the length allows. The rare
;   rest ("/" and "%" of the most negative value by -1, mix and scl whose
;   quotient leaves 32 bits, cnv of the most negative sum by -1, tan of a
;   zero cosine, mix by 0) lets the processor fault; the plug-in's fault
;   guard (formula/native.h), installed for the length of a pass, completes
;   the division with the low 32 bits of the quotient and the remainder (both
;   0 for a divisor of 0) and resumes behind it. Every such division is
;   "div reg" or "idiv reg" (two bytes), the only form the guard completes.

        bits 32

; PixelContext offsets, generated from interface/state.h at build time.
%include STATE_OFFSETS

; template "name", label, length ... endtemplate
%macro template 3
  %push template
  %define %$length %3
%2:     db %1
        times 8 - ($ - %2) db 0
        dw %3
%$code:
%endmacro

; Pads the code up to the row's length with as few no-ops as possible
; (nine-byte ones, then one of the right size); too long code makes the
; count negative, which nasm refuses.
%macro endtemplate 0
%$pad:
        times -((%$pad - %$code) > %$length) db 0  ; refuses code longer than the row
        times (%$length - (%$pad - %$code)) // 9 db 0x66, 0x0F, 0x1F, 0x84, 0, 0, 0, 0, 0
        times ((%$length - (%$pad - %$code)) % 9 == 1) db 0x90
        times ((%$length - (%$pad - %$code)) % 9 == 2) db 0x66, 0x90
        times ((%$length - (%$pad - %$code)) % 9 == 3) db 0x0F, 0x1F, 0x00
        times ((%$length - (%$pad - %$code)) % 9 == 4) db 0x0F, 0x1F, 0x40, 0
        times ((%$length - (%$pad - %$code)) % 9 == 5) db 0x0F, 0x1F, 0x44, 0, 0
        times ((%$length - (%$pad - %$code)) % 9 == 6) db 0x66, 0x0F, 0x1F, 0x44, 0, 0
        times ((%$length - (%$pad - %$code)) % 9 == 7) db 0x0F, 0x1F, 0x80, 0, 0, 0, 0
        times ((%$length - (%$pad - %$code)) % 9 == 8) db 0x0F, 0x1F, 0x84, 0, 0, 0, 0, 0
  %pop
%endmacro

; Bytes behind an unconditional jump that are never executed.
%macro DEAD 1
        times %1 db 0xCC
%endmacro

; push dword [edi + field] in its four-byte form (SIB byte, no index), for
; rows whose length is one more than the short form.
%macro PUSH_FIELD4 1
        db      0xFF, 0x74, 0x27, %1
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

; Direction of the vector (EAX, EDX) in 1/1024 turns, -512..512, into EAX.
; Octant folding: f (in ECX) collects y < 0 (4), x < 0 (3) and "steep" (1),
; the arctangent of the flat ratio lo/hi comes from arctanTable, and f
; unfolds it bit by bit. Magnitudes are unsigned 32-bit and lo * 1024 / hi
; is a 64-bit product over hi, at most 1024 since lo <= hi: any argument
; works and div cannot fault. The table's 16.16 radians become 1/1024
; turns as a * 512 / 205888 truncated, done as (a * 10680678) >> 32, which
; is exact for every 16-bit a. Clobbers ECX, EDX, ESI.
%macro DIRECTION 0
        xor     ecx, ecx                ; f
        test    edx, edx
        jns     %%y_done
        neg     edx
        mov     cl, 4
%%y_done:
        test    eax, eax
        jns     %%x_done
        neg     eax
        or      cl, 3
%%x_done:
        cmp     edx, eax
        jbe     %%ordered
        xor     cl, 1
        xchg    eax, edx
%%ordered:                              ; EAX = hi, EDX = lo
        xchg    eax, esi                ; ESI = hi
        xchg    eax, edx                ; EAX = lo
        test    eax, eax
        jz      %%fold                  ; lo = 0: angle 0
        mov     edx, 1024
        mul     edx
        div     esi                     ; q = lo * 1024 / hi, 0..1024
        test    eax, eax
        jz      %%fold
        movzx   eax, word [edi + ARCTAN_TABLE + eax*2 - 2]
        mov     edx, 10680678
        mul     edx
        xchg    eax, edx                ; a * 512 / 205888
%%fold:
        shr     ecx, 1
        jnc     %%not_steep
        neg     eax
        add     eax, 256
%%not_steep:
        shr     ecx, 1
        jnc     %%not_left
        add     ah, 1                   ; + 256: EAX is at most 256 here
%%not_left:
        shr     ecx, 1
        jnc     %%not_below
        neg     eax
%%not_below:
%endmacro

; Length of the vector of magnitudes (EAX, ECX) into EAX: hi + hi * f / 65536
; with f = magnitudeTable[lo * 1024 / hi], or the constant
; 65536 * (sqrt(2) - 1) when lo = hi. Magnitudes are unsigned 32-bit and the
; ratio and the products 64-bit, so any argument works (the ratio stays below
; 1024, div cannot fault); a length beyond 2^32 - 1 wraps. Clobbers EDX.
%macro MAGNITUDE 0
        cmp     eax, ecx
        jbe     %%ordered
        xchg    eax, ecx
%%ordered:                              ; EAX = lo, ECX = hi; ZF: lo = hi
        je      %%equal
        mov     edx, 1024
        mul     edx
        div     ecx
        movzx   eax, word [edi + MAG_TABLE + eax*2]
        jmp     short %%scale
%%equal:
        mov     eax, 27146
%%scale:
        mul     ecx
        shrd    eax, edx, 16
        add     eax, ecx
%endmacro

; Clamps EAX to [lo, hi - 1], both operands memory: the upper bound first,
; the lower bound last, so an empty range gives lo. Branches rather than
; cmov: the bounds are rarely hit and predicted, and the clamp is on the
; path of the sample's address.
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
template "error", t_error, 3
        db      0x2B, 0xC0              ; sub eax, eax
        db      0xC3                    ; ret
endtemplate

; -- (entered by call with the state block as the only argument)
; Saves EBP, ESI, EDI and ESP itself, then EDI = the argument.
template "prolog", t_prolog, 8
        db      0x55, 0x56, 0x57        ; push ebp / push esi / push edi
        db      0x54                    ; push esp
        db      0x8B, 0x7C, 0x24, 0x14  ; mov edi, [esp + 20]
endtemplate

; r --  (returns r in EAX). Restoring the saved ESP makes the return safe.
template "epilog", t_epilog, 6
        db      0x58, 0x5C              ; pop eax / pop esp
        db      0x5F, 0x5E, 0x5D        ; pop edi / pop esi / pop ebp
        db      0xC3                    ; ret
endtemplate

; -- n   (push imm32: the compiler appends the literal after this byte)
template "number", t_number, 1
        db      0x68
endtemplate

; a b -- b   (the sequence operator drops its left value)
template ",", t_comma, 1
        db      0x58                    ; pop eax
endtemplate

; ====================================================================
; Operators
; ====================================================================

; c t f -- (c ? t : f). Both branches were already evaluated.
template "?", t_cond, 11
        pop     eax                     ; f
        pop     ecx                     ; t
        pop     edx                     ; c
        cmp     edx, byte 0
        cmovne  eax, ecx
        db      0xFF, 0xF0              ; push eax (long form)
endtemplate

; a -- !a. Trick: cmp a, 1 borrows exactly when a = 0; sbb turns the borrow
; into -1, neg into 1.
template "!", t_not, 9
        pop     eax
        cmp     eax, 1
        sbb     eax, eax
        neg     eax
        push    eax
endtemplate

; a b -- (a && b). Trick: neg sets the carry exactly for a non-zero value,
; sbb spreads it into a -1 mask; the masks are combined and negated to 0/1.
template "&&", t_and, 19
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
template "||", t_or, 19
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
template "~", t_complement, 4
        not     dword [byte esp + 0]
endtemplate

; a b -- a & b, in place on a's slot.
template "&", t_bitand, 5
        pop     eax
        and     [byte esp + 0], eax
endtemplate

; a b -- a | b
template "|", t_bitor, 5
        pop     eax
        or      [byte esp + 0], eax
endtemplate

; a b -- a ^ b
template "^", t_bitxor, 5
        pop     eax
        xor     [byte esp + 0], eax
endtemplate

; a b -- (a OP b) as 0/1, signed. setcc writes the low byte of a cleared
; EDX (cleared with a five-byte move, the row's length without a no-op).
%macro COMPARE 3
template %1, %2, 13
        pop     ecx
        pop     eax
        mov     edx, strict dword 0
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
template "<<", t_shl, 5
        pop     ecx
        pop     eax
        shl     eax, cl
        push    eax
endtemplate

; a b -- a >> (b and 31), filling with zero bits.
template ">>", t_shr, 5
        pop     ecx
        pop     eax
        shr     eax, cl
        push    eax
endtemplate

; a -- -a (the most negative value stays itself)
template "negate", t_negate, 4
        neg     dword [byte esp + 0]
endtemplate

; a b -- a + b
template "+", t_add, 5
        pop     eax
        add     [byte esp + 0], eax
endtemplate

; a b -- a - b
template "-", t_sub, 5
        pop     eax
        sub     [byte esp + 0], eax
endtemplate

; a b -- low 32 bits of a * b
template "*", t_mul, 6
        pop     eax
        pop     ecx
        imul    eax, ecx
        push    eax
endtemplate

; a b -- a / b truncated; 0 when b = 0. The most negative a by -1 faults
; and is completed by the fault guard with the wrapped quotient (a itself).
template "/", t_div, 14
        pop     ecx
        pop     eax
        test    ecx, ecx
        jz      .zero
        cdq
        idiv    ecx
        jmp     short .push
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; a b -- remainder of a / b with the sign of a; 0 when b = 0. The most
; negative a by -1 faults and is completed with the remainder 0.
template "%", t_rem, 14
        pop     ecx
        pop     eax
        xor     edx, edx
        test    ecx, ecx
        jz      .push
        cdq
        idiv    ecx
.push:
        push    edx
endtemplate

; ====================================================================
; Variables
; ====================================================================

; -- r g b a: planeValue[0..3]
template "r", t_r, 3
        push    dword [byte edi + PLANE + 0]
endtemplate
template "g", t_g, 4
        PUSH_FIELD4 PLANE + 4
endtemplate
template "b", t_b, 4
        PUSH_FIELD4 PLANE + 8
endtemplate
template "a", t_a, 4
        PUSH_FIELD4 PLANE + 12
endtemplate

; -- planeValue[z - zStart]. The engine keeps z below four.
template "c", t_c, 10
        mov     eax, [edi + POS_Z]
        sub     eax, [edi + Z_START]
        push    dword [byte edi + PLANE + eax*4]
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
template "i", t_i, 55
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
template "u", t_u, 51
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

; -- (78 r - 65 g - 13 b) / 256, as 13 * (6r - 5g - b)
template "v", t_v, 39
        mov     eax, [edi + PLANE + 0]
        mov     ecx, [edi + PLANE + 4]
        lea     eax, [eax + eax*2]      ; 3r
        add     eax, eax                ; 6r
        lea     ecx, [ecx + ecx*4]      ; 5g
        sub     eax, ecx
        sub     eax, [edi + PLANE + 8]  ; t = 6r - 5g - b
        lea     ecx, [eax + eax*2]      ; 3t
        lea     eax, [eax + ecx*4]      ; 13t
        DIV256_EAX
        push    eax
endtemplate

; -- direction of the pixel from the centre (half the size, rounded down,
; shift as unsigned), -512..512
template "d", t_d, 117
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
template "m", t_m, 77
        mov     ecx, [edi + X_START]
        sub     ecx, [edi + X_END]
        sar     ecx, 1
        add     ecx, [edi + POS_X]
        mov     eax, [edi + Y_START]
        sub     eax, [edi + Y_END]
        sar     eax, 1
        add     eax, [edi + POS_Y]
        ABS_EAX
        xchg    eax, ecx
        ABS_EAX
        MAGNITUDE
        push    eax
endtemplate

; -- 255 (R G B A I U V C), 1024 (D). The segment prefix only lengthens the
; push to the row's six bytes.
%macro CONSTANT 3
template %1, %2, 6
        db      0x3E
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

; -- length of the diagonal of the rectangle. xStart and yStart are always
; 0 (the engine sets them), so the sizes are xEnd and yEnd themselves.
template "M", t_M, 49
        mov     eax, [edi + X_END]
        mov     ecx, [edi + Y_END]
        MAGNITUDE
        push    eax
endtemplate

; -- x y z X Y Z: position and sizes
%macro FIELD 3
template %1, %2, 4
        PUSH_FIELD4 %3
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
template "min", t_min, 9
        pop     ecx
        cmp     ecx, [esp]
        jge     .keep
        mov     [esp], ecx
.keep:
endtemplate

; a b -- max(a, b)
template "max", t_max, 9
        pop     ecx
        cmp     ecx, [esp]
        jle     .keep
        mov     [esp], ecx
.keep:
endtemplate

; a -- |a|, branch-free (cdq mask: xor then subtract)
template "abs", t_abs, 7
        pop     eax
        ABS_EAX
        push    eax
endtemplate

; a b c -- a + b, at most c
template "add", t_addlim, 12
        pop     ecx
        pop     eax
        pop     edx
        add     eax, edx
        cmp     eax, ecx
        cmovge  eax, ecx
        push    eax
endtemplate

; a b c -- a - b, at least c
template "sub", t_sublim, 12
        pop     ecx
        pop     edx
        pop     eax
        sub     eax, edx
        cmp     eax, ecx
        cmovle  eax, ecx
        push    eax
endtemplate

; a b -- |a - b|
template "dif", t_dif, 10
        pop     ecx
        pop     eax
        sub     eax, ecx
        ABS_EAX
        push    eax
endtemplate

; a b n d -- a*n/d + b*(d-n)/d; 0 when d = 0. Products in 64 bits, each
; quotient truncated separately; a quotient beyond 32 bits faults and is
; completed with its low 32 bits.
template "mix", t_mix, 32
        pop     ecx                     ; d
        pop     esi                     ; n
        pop     ebp                     ; b
        pop     eax                     ; a
        test    ecx, ecx
        jz      .zero
        imul    esi                     ; a * n
        idiv    ecx
        xchg    eax, ebp                ; EBP = first quotient, EAX = b
        mov     edx, ecx
        sub     edx, esi                ; d - n
        imul    edx                     ; b * (d - n)
        idiv    ecx
        add     eax, ebp
        jmp     short .push
        DEAD    4
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; a il ih ol oh -- ol + (a - il) * (oh - ol) / (ih - il); 0 when ih = il.
; Differences in 32 bits, product in 64; a quotient beyond 32 bits faults
; and is completed with its low 32 bits.
template "scl", t_scl, 39
        pop     eax                     ; oh
        pop     ecx                     ; ol
        pop     edx                     ; ih
        pop     esi                     ; il
        pop     ebp                     ; a
        sub     eax, ecx                ; oh - ol
        sub     ebp, esi                ; a - il
        sub     edx, esi                ; ih - il
        jz      .zero
        mov     esi, edx
        imul    ebp
        idiv    esi
        add     eax, ecx
        jmp     short .push
        DEAD    13
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; a -- floor(sqrt(a)); a itself when a <= 1. Newton's iteration on
; unsigned values from g = a/2, q = 2: while g > q, q = a/g and
; g = (g + q)/2. g stays between 1 and a, so div never faults.
template "sqr", t_sqr, 31
        pop     ecx                     ; a
        mov     esi, ecx
        cmp     ecx, 1
        jle     .done
        shr     esi, 1                  ; g
        push    2
        pop     eax                     ; q
.step:
        cmp     esi, eax
        jbe     .done
        mov     eax, ecx
        xor     edx, edx
        div     esi
        add     esi, eax
        rcr     esi, 1                  ; (g + q) / 2 with the carry
        jmp     short .step
.done:
        push    esi
endtemplate

; a b -- a + (v mod n), n = b - a + 1, unsigned. Both indices advance
; first, past 55 back to 1; v = table[A] - table[B] is stored at A.
; n = 0 (b = a - 1) means the range holds all 2^32 values: the result is
; a + v, with no division. ESI points at the random state (short offsets).
template "rnd", t_rnd, 76
        lea     esi, [edi + RAND_A]
        movzx   ecx, word [esi + 2]     ; randIndexB
        inc     ecx
        cmp     ecx, 55
        jbe     .b_ok
        push    1
        pop     ecx
.b_ok:
        mov     [esi + 2], cx
        movzx   eax, word [esi]         ; randIndexA
        inc     eax
        cmp     eax, 55
        jbe     .a_ok
        push    1
        pop     eax
.a_ok:
        mov     [esi], ax
        mov     edx, [esi + 4 + eax*4]
        sub     edx, [esi + 4 + ecx*4]
        mov     [esi + 4 + eax*4], edx
        xchg    eax, edx                ; v
        pop     ecx                     ; b
        pop     esi                     ; a
        sub     ecx, esi
        inc     ecx                     ; n
        jz      .whole
        xor     edx, edx
        div     ecx
        xchg    eax, edx
.whole:
        add     eax, esi
        push    eax
endtemplate

; i -- slider[i], 0 unless 0 <= i <= 7 (one unsigned compare)
template "ctl", t_ctl, 17
        pop     ecx
        xor     eax, eax
        cmp     ecx, 8
        jae     .push
        mov     eax, [edi + SLIDER + ecx*4]
.push:
        push    eax
endtemplate

; i a b -- a + slider[i] * (b - a) / 255 (product in 32 bits); 0 unless
; 0 <= i <= 7. The divisor is the constant 255: idiv cannot fault.
template "val", t_val, 34
        pop     eax                     ; b
        pop     esi                     ; a
        pop     ecx                     ; i
        sub     eax, esi
        cmp     ecx, 8
        jae     .zero
        imul    eax, [edi + SLIDER + ecx*4]
        cdq
        mov     cl, 255                 ; ECX was 0..7: now 255
        idiv    ecx
        add     eax, esi
        jmp     short .push
        DEAD    7
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; i n -- mapTable[i][n clamped to 0..255]; 0 unless 0 <= i <= 3
template "map", t_map, 48
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
; 0 unless zStart <= z < zEnd. ESI points at the area fields.
template "src", t_src, 109
        pop     ecx                     ; z
        pop     eax                     ; y
        pop     ebp                     ; x
        mov     edx, [edi + Z_END]
        sub     edx, [edi + Z_START]    ; planes per pixel
        sub     ecx, [edi + Z_START]    ; plane offset
        cmp     ecx, edx
        jae     .zero
        lea     esi, [edi + AREA_LEFT]
        CLAMP_EAX [esi + AREA_TOP - AREA_LEFT], [esi + AREA_BOTTOM - AREA_LEFT]
        sub     eax, [esi + AREA_TOP - AREA_LEFT]
        imul    eax, [edi + IN_ROW_BYTES]
        add     ecx, eax
        xchg    eax, ebp
        CLAMP_EAX [esi], [esi + AREA_RIGHT - AREA_LEFT]
        sub     eax, [esi]
        imul    eax, edx
        add     eax, ecx
        add     eax, [edi + IN_BASE]
        movzx   eax, byte [eax]
        jmp     short .push
        DEAD    21
.zero:
        xor     eax, eax
.push:
        push    eax
endtemplate

; m11 m12 m13 m21 m22 m23 m31 m32 m33 d -- sum of mij * s(x+j-2, y+i-2) / d
; 3 x 3 convolution of the current plane. Neighbours outside the source
; rectangle read the nearest sample inside it (as src does), so the edges
; never read outside the host's buffer. d = 0 gives 0; the most negative
; sum by -1 faults and is completed with the wrapped quotient. A z outside
; the pixel gives 0.
; The three clamped column offsets, each with the buffer and plane added,
; are pushed first; then each row offset is formed once and its three
; samples weighted, EBP walking the weights from m11 down the stack.
;   stack during the sum: [esp] col-1 [esp+4] col [esp+8] col+1
;                         [esp+12] d, [esp+16] m33 ... [esp+48] m11
template "cnv", t_cnv, 193
        mov     ecx, [edi + Z_END]
        sub     ecx, [edi + Z_START]    ; planes per pixel
        mov     ebp, [edi + POS_Z]
        sub     ebp, [edi + Z_START]
        cmp     ebp, ecx
        jae     near .outside
        add     ebp, [edi + IN_BASE]    ; sample of plane z of the buffer's first pixel
        lea     esi, [edi + AREA_LEFT]
        push    2
        pop     edx
.column:                                ; push x+1, x, x-1
        mov     eax, [edi + POS_X]
        lea     eax, [eax + edx - 1]
        CLAMP_EAX [esi], [esi + AREA_RIGHT - AREA_LEFT]
        sub     eax, [esi]
        imul    eax, ecx
        add     eax, ebp
        push    eax
        dec     edx
        jns     .column
        xor     esi, esi                ; sum
        lea     ebp, [esp + 48]         ; -> m11
        or      ecx, -1                 ; row offset
.row:
        mov     eax, [edi + POS_Y]
        add     eax, ecx
        CLAMP_EAX [edi + AREA_TOP], [edi + AREA_BOTTOM]
        sub     eax, [edi + AREA_TOP]
        imul    eax, [edi + IN_ROW_BYTES]
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
        pop     ecx                     ; d
        xchg    eax, esi
        cdq
        jecxz   .zero
        idiv    ecx
        jmp     short .drop
.outside:
        pop     ecx
.zero:
        xor     eax, eax
.drop:
        add     esp, 36
        push    eax
endtemplate

; d m z -- source sample of plane z at direction d, distance m from the
; centre of the rectangle (half its size, rounded down), clamped into the
; rectangle; 0 unless 0 <= z < zEnd - zStart (never outside the pixel).
; One loop forms the column (ESI = 0: x fields, angle d) and the row
; (ESI = 12: y fields, angle d - 256; only the low ten bits of the angle
; count, so CH can take the 256 off).
template "rad", t_rad, 158
        mov     ecx, [esp + 8]          ; d
        mov     ebp, [esp + 4]          ; m
        xor     esi, esi
.axis:
        mov     eax, ecx
        SINE_EAX
        imul    ebp
        add     eax, 8191
        adc     edx, 0
        shrd    eax, edx, 14
        mov     edx, [edi + esi + X_END]
        sub     edx, [edi + esi + X_START]
        shr     edx, 1
        add     eax, edx
        cmp     eax, [edi + esi + X_END]
        jl      .below_end
        mov     eax, [edi + esi + X_END]
        dec     eax
.below_end:
        cdq
        not     edx
        and     eax, edx                ; 0 if negative
        push    eax
        dec     ch
        xor     esi, Y_END - X_END
        jnz     .axis
        pop     eax                     ; row
        pop     ebp                     ; column
        pop     ecx                     ; z
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
        DEAD    40
.outside:
        xor     eax, eax
.drop:
        pop     ecx
        pop     ecx
        push    eax
endtemplate

; x y -- direction of (x, y), -512..512
template "c2d", t_c2d, 97
        pop     edx
        pop     eax
        DIRECTION
        push    eax
endtemplate

; x y -- length of (x, y)
template "c2m", t_c2m, 57
        pop     ecx
        pop     eax
        ABS_EAX
        xchg    eax, ecx
        ABS_EAX
        MAGNITUDE
        push    eax
endtemplate

; d m -- x component of the vector of direction d and length m
template "r2x", t_r2x, 31
        pop     ecx                     ; m
        pop     eax                     ; d
        POLAR_EAX
        push    eax
endtemplate

; d m -- y component: the cosine table a quarter turn back
template "r2y", t_r2y, 37
        pop     ecx
        pop     eax
        sub     eax, 256
        POLAR_EAX
        push    eax
endtemplate

; a -- sineTable[|a - 256| and 1023] >> 5 (the table holds the cosine)
template "sin", t_sin, 32
        pop     eax
        sub     eax, 256
        ABS_EAX
        SINE_EAX
        sar     eax, 5
        push    eax
endtemplate

; a -- sineTable[|a| and 1023] >> 5
template "cos", t_cos, 27
        pop     eax
        ABS_EAX
        SINE_EAX
        sar     eax, 5
        push    eax
endtemplate

; a -- s * 1024 / c (truncated), 0 when c = 0. The built table has no zero
; entry; a zero cosine (tables never built) faults and is completed with 0.
; |s * 1024| < 2^26, so the quotient always fits.
template "tan", t_tan, 60
        pop     ecx
        mov     eax, ecx
        ABS_EAX
        SINE_EAX
        mov     esi, eax                ; c
        lea     eax, [ecx - 256]
        ABS_EAX
        SINE_EAX                        ; s
        shl     eax, 10
        cdq
        idiv    esi
        push    eax
endtemplate

; i -- cell[i], or i itself unless 0 <= i <= 255
template "get", t_get, 20
        mov     eax, [esp]
        cmp     eax, 256
        jae     .keep
        mov     eax, [edi + CELL + eax*4]
        mov     [esp], eax
.keep:
endtemplate

; v i -- v; stores v in cell[i] when 0 <= i <= 255
template "put", t_put, 21
        pop     ecx
        cmp     ecx, 256
        jae     .keep
        mov     eax, [esp]
        mov     [edi + CELL + ecx*4], eax
.keep:
endtemplate

; end of the table
        times 10 db 0

; The resource as it has always shipped: 78 rows and the end row.
        times -(($ - $$) != 2691) db 0
