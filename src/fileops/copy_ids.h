// Resource identifiers of the Copy and Move dialogs.
#pragma once

#define IDD_COPY_DEST           20009
#define IDD_SAME_NAME           20012
#define IDD_COPY_RESULT         20034

#define IDC_DEST_DRIVES         10172
#define IDC_DEST_COMBO          10173
#define IDC_DEST_PROMPT         10175
#define IDC_DEST_HEADER         10176
#define IDC_DEST_TREE           10238

#define IDC_SAME_NAME_FILE      10177
#define IDC_SAME_NAME_NEWER     10178
#define IDC_SAME_NAME_RENAME    10179
#define IDC_SAME_NAME_OVERWRITE 10180
#define IDC_SAME_NAME_SKIP      10181
#define IDC_SAME_NAME_PROMPT    10182

#define IDC_RESULT_TEXT         10183
#define IDC_RESULT_LIST         10184
