#pragma once
#define IDD_GLYPH 132
#define IDC_GLYPH_SHOWSUN 1060
