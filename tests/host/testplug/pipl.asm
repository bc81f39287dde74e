; Property list of the host's test plug-ins. Every variant is assembled from
; this one file: -DKIND, -DHOST, -DMENU_NAME, -DCATEGORY, -DENTRY (leave ENTRY
; out for a list without an i386 entry point).

%include "../../../plugin/resources/pipl.inc"

        dw      1
        dd      0
%ifdef ENTRY
        dd      7
%else
        dd      6
%endif
        property 'kind', 4
        fourcc  KIND
        property 'name', 36
        pstring36 MENU_NAME
        property 'catg', 36
        pstring36 CATEGORY
        property 'vers', 4
        dd      0x00040000
        property 'mode', 4
        db      0x10, 0, 0, 0
        property 'host', 4
        fourcc  HOST
%ifdef ENTRY
%strlen ENTRYLEN ENTRY
        property 'wx86', (ENTRYLEN + 4) & ~3
        db      ENTRY
        times   ((ENTRYLEN + 4) & ~3) - ENTRYLEN db 0
%endif
