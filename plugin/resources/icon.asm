; The editor's error marker (IDI_MARKER). One 32 x 32 image with 16 colours; the
; upper-left 16 x 16 pixels hold a yellow warning triangle with a black
; exclamation mark, everything else is transparent.
;
; Rows are written top-down as palette digits ('.' = transparent); tools/icon16.inc
; makes the icon file of them.

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

%include "icon16.inc"
