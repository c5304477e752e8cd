// Identifiers of the dialogs, controls, icon, strings and menu command, shared by every front end.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_CONVERT_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_INPUT_FILE 1000
#define IDC_CONVERT 1002
#define IDC_BACKUP 1004
#define IDC_BROWSE_INPUT 1005
#define IDC_EMBEDDED 1006
#define IDC_INI_FILE 1007
#define IDC_STATUS 1008
#define IDC_BROWSE_INI 1009

#define IDM_ABOUTBOX 0x0010
