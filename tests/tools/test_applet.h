// Shared between the test control-panel file and the tests that drive it.
#pragma once

#define IDD_TEST_APPLET 100
#define IDC_APPLET_TEXT 1001
#define IDS_APPLET_NAME 1
#define IDS_APPLET_INFO 2
#define IDI_TEST_APPLET 10

// The caption of the applet's dialog, for finding it from another process.
#define TEST_APPLET_CAPTION "Halvoran Test Applet"
// lData that CPL_INQUIRE hands out for applet i: kAppletDataBase + i.
#define TEST_APPLET_DATA_BASE 0x5A00
