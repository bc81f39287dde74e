/* The resources of the plug-in's dialogs: templates, control ids, strings
   and the error marker icon. Plain #defines: the dialog templates in
   plugin_ui/resources/ and the plug-in's resource script read this file as
   the dialogs' code does, so each id is written here once. A comment with a
   range names the first of consecutive ids. */
#ifndef TINCTOR_PLUGIN_UI_RESOURCE_H
#define TINCTOR_PLUGIN_UI_RESOURCE_H

/* Dialog templates. */
#define IDD_EDITOR 101
#define IDD_ABOUT 102
#define IDD_BUILD 103
#define IDD_MADE_FILTER 104

/* The editor (IDD_EDITOR); the made-filter dialog (IDD_MADE_FILTER) has the
   sliders, value labels and preview of the same ids. */
#define IDC_FORMULA 1000 /* 1000..1003: red, green, blue, alpha formula */
#define IDC_LOAD 1004
#define IDC_SAVE 1005
#define IDC_MAKE 1006
#define IDC_SLIDER 1007      /* 1007..1014: slider i */
#define IDC_VALUE_LABEL 1015 /* 1015..1022: value label of slider i */
#define IDC_MARKER 1023      /* 1023..1026: error marker of channel k */
#define IDC_PREVIEW 1027     /* invisible placeholder: only its rectangle is used */
#define IDC_ALPHA_LABEL 1028
#define IDC_MAP_LABEL 1050    /* 1050..1053: made-filter dialog, label of map k */
#define IDC_SLIDER_LABEL 1054 /* 1054..1061: made-filter dialog, label of slider j */

/* The About box (IDD_ABOUT). */
#define IDC_ABOUT_TITLE 1100
#define IDC_ABOUT_COPYRIGHT 1101
#define IDC_ABOUT_AUTHOR 1102

/* Build Filter (IDD_BUILD). */
#define IDC_BUILD_CATEGORY 1200
#define IDC_BUILD_TITLE 1201
#define IDC_BUILD_COPYRIGHT 1202
#define IDC_BUILD_AUTHOR 1203
#define IDC_BUILD_FILE_NAME 1204
#define IDC_BUILD_MAP_LABEL 1205    /* 1205..1208: label of map i */
#define IDC_BUILD_SLIDER_LABEL 1209 /* 1209..1216: label of slider j */
#define IDC_BUILD_MAP_BOX 1217      /* 1217..1220: check box of map i */
#define IDC_BUILD_SLIDER_BOX 1221   /* 1221..1228: check box of slider j */

/* The editor's error marker. */
#define IDI_MARKER 201

/* Strings: the file dialogs' filter list, then the messages; 2006..2009 put
   the new filter's file name in place of their "%s". */
#define IDS_FILE_FILTER 2000
#define IDS_SETTINGS_OPEN_FAILED 2001
#define IDS_SETTINGS_WRITE_FAILED 2002
#define IDS_SETTINGS_READ_FAILED 2003
#define IDS_SAMPLE_FAILED 2004
#define IDS_NO_MEMORY 2005
#define IDS_FILE_EXISTS 2006
#define IDS_FILTER_CREATE_FAILED 2007
#define IDS_FILTER_WRITE_FAILED 2008
#define IDS_FILTER_CREATED 2009

#endif
