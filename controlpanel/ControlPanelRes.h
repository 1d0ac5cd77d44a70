// Resource ids of the control panel window and of the program's own images.
#pragma once

#define IDD_CONTROLPANEL 102
#define IDC_CP_HIDE 1006
#define IDC_CP_QUIT 1004
#define IDC_CP_PROGRAM_ICON 1039
#define IDC_CP_SHEET_PLACEHOLDER 1055

#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 16

#define IDI_PROGRAM 128
#define IDI_DOWN 133
#define IDI_UP 134
#define IDCUR_HAND 105
#define IDB_BANNER 129
