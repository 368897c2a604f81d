// Resource ids of the resource fixture module (ZepResFixture.dll), shared by its .rc and the tests.
#pragma once

// The test dialog with one control of every kind the plug-ins' templates use.
#define IDD_EVERY_CONTROL 100
#define IDC_PUSH 1001
#define IDC_DEFPUSH 1002
#define IDC_CHECK 1003
#define IDC_AUTOCHECK 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_AUTORADIO1 1007
#define IDC_AUTORADIO2 1008
#define IDC_GROUP 1009
#define IDC_OWNERDRAW 1010
#define IDC_TEXT 1011
#define IDC_STATIC_ICON 1012
#define IDC_EDIT 1013
#define IDC_LIST 1014
#define IDC_DROPLIST 1015
#define IDC_DROPDOWN 1016
#define IDC_SCROLL 1017
#define IDC_BUDDY 1018
#define IDC_UPDOWN 1019
#define IDC_TRACKBAR 1020
#define IDC_LISTVIEW 1021

// Pictures (the project's own art).
#define IDB_FIXTURE_LOGO 300
#define IDB_FIXTURE_PALETTE 301
#define IDI_FIXTURE_WARNING 310

// Data resources for the loader's lookup rules: 200 neutral only, 201 English (US) only, 202 German and
// neutral, 203 Japanese only; "Named" by string; type "ZEPTYPE" of its own.
#define IDR_NEUTRAL 200
#define IDR_ENGLISH_ONLY 201
#define IDR_GERMAN_AND_NEUTRAL 202
#define IDR_JAPANESE_ONLY 203
#define IDR_CUSTOM_TYPED 1

// Strings: 15 and 16 sit on either side of a block boundary, 31 ends the second block, 17 is missing from a
// block that exists, and no string lives in block 3 (ids 32-47).
#define IDS_FIRST_BLOCK_LAST 15
#define IDS_SECOND_BLOCK_FIRST 16
#define IDS_MISSING_IN_BLOCK 17
#define IDS_SECOND_BLOCK_LAST 31
#define IDS_IN_MISSING_BLOCK 40
#define IDS_LONG 100
#define IDS_NON_ASCII 101
