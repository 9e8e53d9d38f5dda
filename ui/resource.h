// Resource ids, shared by the resource script and the code.
#pragma once

#define IDD_HALVORANINSTALLWINAPP_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_SIDE_PICTURE 130
#define IDB_BANNER_PICTURE 131
#define IDC_STATUS_TEXT 1000
#define IDC_INSTRUCTION_TEXT 1002
