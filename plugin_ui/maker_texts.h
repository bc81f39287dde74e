/* The initial texts of the Build Filter dialog (IDD_BUILD). The resource
   script and the command-line maker share them, so a filter made on the
   command line gets what the dialog would have shown. Plain C macros: the
   resource compiler reads this file too. */
#ifndef TINCTOR_MAKER_TEXTS_H
#define TINCTOR_MAKER_TEXTS_H

#define MAKER_DEFAULT_CATEGORY "Synthetic"
#define MAKER_DEFAULT_TITLE "Untitled"
#define MAKER_DEFAULT_COPYRIGHT \
    "Copyright (c) 2026 The Tinctor authors\r\nMade with the Tinctor filter maker"
#define MAKER_DEFAULT_AUTHOR "Anonymous"
#define MAKER_DEFAULT_MAP_LABEL_FORMAT "Map %d:"
#define MAKER_DEFAULT_SLIDER_LABEL_FORMAT "Control %d:"

#endif
