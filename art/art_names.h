/* The names of the bitmaps in art.rc, read by the resource scripts and the
   code alike (plain #defines only).  Bitmap names are matched without regard
   to case. */
#ifndef ART_ART_NAMES_H
#define ART_ART_NAMES_H

#define IDB_BLUETEX "BlueTex"           /* 128x128 texture: the main window */
#define IDB_SWIRL "OBSwirl"             /* 128x128 texture: every dialog */
#define IDB_ALERT "Alert"               /* two 80x86 frames: normal, pressed */
#define IDB_QUESTION "Question"         /* two 80x86 frames */
#define IDB_BULLET "bullet"             /* two 24x24 frames */
#define IDB_OKBUTTON "OKButton"         /* shadow-button face, 16 colours */
#define IDB_CANCELBUTTON "CancelButton" /* shadow-button face, 16 colours */
#define IDB_CHECKBOX "CheckBox"         /* six 30x22 frames, loaded by the check box itself */

#endif
