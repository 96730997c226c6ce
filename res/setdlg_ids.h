// Resource identifiers of the option, row-count and clipboard dialogs.
#pragma once

#define IDD_OPTIONS             20008
#define IDC_OPT_PRESORT         10195
#define IDC_OPT_NAMESMALL       10262
#define IDC_OPT_LNAMEPOS        10263
#define IDC_OPT_TREEMODE        10265
#define IDC_OPT_TREESAVE        10258
#define IDC_OPT_SIDELINE        10266
#define IDC_OPT_REALSIZE        10319
#define IDC_OPT_CSPACE          10335
#define IDC_OPT_DIRTIME         10320
#define IDC_OPT_RETDEL          10322
#define IDC_OPT_DIRMARK         10323
#define IDC_OPT_CURPAGE         10324
#define IDC_OPT_ALTENABLE       10325
#define IDC_OPT_VIEWCR          10197
#define IDC_OPT_SECSW           10198
#define IDC_OPT_TIMESW          10199
#define IDC_OPT_WEEKSW          10200
#define IDC_OPT_KEYS10          10256
#define IDC_OPT_KEYS12          10257
#define IDC_OPT_EDITOR          10186
#define IDC_OPT_VIEWER          10187
#define IDC_OPT_ARCHIVER        10188
#define IDC_OPT_BROWSE_EDITOR   10235
#define IDC_OPT_BROWSE_VIEWER   10236
#define IDC_OPT_BROWSE_ARCHIVER 10237

#define IDD_ROWS                20019
#define IDC_ROWS_COUNT          10272

#define IDD_CLIPBOARD           20004
#define IDC_CLIP_PROMPT         10250
#define IDC_CLIP_PATH           10251
#define IDC_CLIP_NAME           10252
#define IDC_CLIP_SHORTPATH      10253
#define IDC_CLIP_SHORTNAME      10254
#define IDC_CLIP_TIME           10221
#define IDC_CLIP_SIZE           10255
