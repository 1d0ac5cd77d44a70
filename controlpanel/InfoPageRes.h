#pragma once
#define IDD_INFO 106
#define IDC_INFO_CREDIT 1044
#define IDC_INFO_PICTUREWAY 1045
