; Icon "Setup": one 32 x 32 image with 16 colours - a dark blue disc with a
; white lightning-shaped "Z" (the wind of the package's logo) and a cyan rim.
;
; Rows are written top-down as palette digits ('.' = transparent); tools/icon16.inc
; makes the icon file of them. Digits index the sixteen standard
; colours: 0 black, 4 navy, 7 light grey, 8 grey, C blue, E cyan, F white.

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

%include "icon16.inc"
