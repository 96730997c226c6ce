// Resource identifiers of the colour dialog.
#pragma once

#define IDD_COLORS              20005
#define IDC_COLOR_LIST          10151
#define IDC_COLOR_RED_SCROLL    10202
#define IDC_COLOR_GREEN_SCROLL  10203
#define IDC_COLOR_BLUE_SCROLL   10204
#define IDC_COLOR_RED           10205
#define IDC_COLOR_GREEN         10206
#define IDC_COLOR_BLUE          10207
#define IDC_COLOR_PREVIEW       10208
#define IDC_COLOR_STANDARD      10210
#define IDC_COLOR_APPLY         10211
#define IDC_COLOR_REALCOL       1030
