/* The installer's resource ids: its dialog templates, their controls, its
   strings, its icon and its logo.  Read by the resource scripts and the code
   alike, so plain #defines only.  The bitmaps are named in art/art_names.h. */
#ifndef SETUP_RESOURCES_SETUP_IDS_H
#define SETUP_RESOURCES_SETUP_IDS_H

/* Dialog templates, by name.  The chain runs WELCOME, PLATFORM, PLUGIN,
   INSTALLING (modeless) and DONE or FAILURE; PLUGIN may show BADPATH, and
   every error reaches the user through ALERT. */
#define IDD_WELCOME "WELCOME"
#define IDD_PLATFORM "PLATFORM"
#define IDD_PLUGIN "PLUGIN"
#define IDD_INSTALLING "INSTALLING"
#define IDD_DONE "DONE"
#define IDD_FAILURE "FAILURE"
#define IDD_BADPATH "BADPATH"
#define IDD_ALERT "ALERT"

/* A bare word as a string: SETUP_QUOTE(METAFILE) is "METAFILE". */
#define SETUP_QUOTE_(word) #word
#define SETUP_QUOTE(word) SETUP_QUOTE_(word)

/* The main window's class icon, and its logo: a placeable metafile in a
   resource of its own type.  The resource compiler reads the type as the
   bare word LOGO_TYPE (it would join the name and a quoted type into one
   string); the code as IDR_LOGO_TYPE. */
#define IDI_SETUP "Setup"
#define IDR_LOGO "ZephLogo"
#define LOGO_TYPE METAFILE
#define IDR_LOGO_TYPE SETUP_QUOTE(LOGO_TYPE)

/* Controls.  IDOK (Continue, OK) and IDCANCEL (Exit, Cancel) are the
   system's; a control the code never addresses is IDC_STATIC. */
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
/* PLATFORM: three check boxes that act as one radio group. */
#define IDC_WIN31 2001
#define IDC_NT 2002
#define IDC_WIN95 2003
/* PLUGIN */
#define IDC_PATH 100           /* the edit field with the destination */
#define IDC_BROWSE 101         /* the open-file dialog */
#define IDC_SPACE_REQUIRED 103 /* what the package takes */
#define IDC_SPACE_FREE 104     /* what the typed drive has */
/* INSTALLING */
#define IDC_PROGRESS 102 /* the graph */
#define IDC_COPYING 106  /* the source file being copied */
#define IDC_COPY_TO 107  /* its full target path */
/* ALERT and BADPATH */
#define IDC_PICTURE 100 /* the "Alert" picture button */
#define IDC_MESSAGE 101 /* the text block with the message */

/* Strings.  The copy errors are numbered from the top of the 16-bit range:
   an LZ library error code, taken as a 16-bit id, names its message. */
#define IDS_WELCOME 5000      /* WELCOME: what the program does */
#define IDS_WELCOME_HOW 5001  /* WELCOME: Continue or Exit */
#define IDS_WELCOME_NOTE 5002 /* WELCOME: which host this version is for */
#define IDS_WHERE 5700        /* PLUGIN: the question */
#define IDS_NOROOM 5701       /* the room alert: needed, free */
#define IDS_ENVIRONMENT 5800  /* PLATFORM: the question */
#define IDS_TITLE 6000        /* the main window's title */
#define IDS_NOMEMORY 65531    /* "Insufficient memory" */
#define IDS_DISKFULL 65532    /* "Disk full when copying "%s"" */
#define IDS_INTERNAL 65533    /* "Internal error (%d)" */
#define IDS_CANNOTOPEN 65535  /* "Cannot open "%s"" */

#endif
