// Resource identifiers of the information dialog.
#pragma once

#define IDD_INFO                20018
#define IDC_INFO_DRIVE          10236
#define IDC_INFO_LABEL          10280
#define IDC_INFO_REMOTE_CAPTION 10306
#define IDC_INFO_REMOTE         10283
#define IDC_INFO_SERIAL         10281
#define IDC_INFO_FILESYSTEM     10282
#define IDC_INFO_TOTAL          10273
#define IDC_INFO_USED           10279
#define IDC_INFO_FREE           10274
#define IDC_INFO_SECTOR         10275
#define IDC_INFO_CLUSTER        10276
#define IDC_INFO_MEMORY_TOTAL   10287
#define IDC_INFO_MEMORY_FREE    10288
#define IDC_INFO_MEMORY_LOAD    10289
#define IDC_INFO_COMPUTER       10277
#define IDC_INFO_USER           10278
#define IDC_INFO_CPU            10284
#define IDC_INFO_CPU_COUNT      10285
#define IDC_INFO_WINDOWS        10286
#define IDC_INFO_UNIT_MB        1046
#define IDC_INFO_UNIT_KB        1047
#define IDC_INFO_UNIT_BYTES     1048
#define IDC_INFO_UNIT_FIRST     1041
#define IDC_INFO_UNIT_LAST      1045
