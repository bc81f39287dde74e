/* Resource ids of the control tests' own resources, read by controls_test.rc
   and the tests alike. */
#ifndef TESTS_CONTROLS_CONTROLS_TEST_IDS_H
#define TESTS_CONTROLS_CONTROLS_TEST_IDS_H

#define IDB_TESTTEX "TestTex"
#define IDB_TESTSPRITE "TestSprite"

/* The text blocks' string, and the text that names it ("~5700"). */
#define IDS_FOLDER 5700
#define TEST_QUOTE_(word) #word
#define TEST_QUOTE(word) TEST_QUOTE_(word)
#define FOLDER_STRING "~" TEST_QUOTE(IDS_FOLDER)

#ifndef IDC_STATIC
#define IDC_STATIC (-1) /* a control the tests never address */
#endif
#define IDD_TEXONLY "TEXONLY" /* only the texture control */
#define IDD_ALLCTL "ALLCTL"   /* every skinned class */
#define IDC_ALERT 300
#define IDC_BULLET 301
#define IDC_OUTLINED 401
#define IDC_RIGHT 402
#define IDC_LEFT_BLOCK 501
#define IDC_CENTRED_BLOCK 502
#define IDC_OUTLINED_BOX 601
#define IDC_PLAIN_BOX 602
#define IDC_GRAPH 701

#endif
