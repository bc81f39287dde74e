/* The malformed logos chain_dialogs_test.rc adds to the installer's
   resources, by name. */
#ifndef TESTS_SETUP_TEST_LOGOS_H
#define TESTS_SETUP_TEST_LOGOS_H

#define IDR_LONG_LOGO "LongLogo"   /* a size field past the resource's end */
#define IDR_PLAIN_LOGO "PlainLogo" /* no placeable header */

#endif
