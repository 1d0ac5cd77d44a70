#pragma once
#define IDD_INFO 106
#define IDC_INFO_CREDIT 1044
