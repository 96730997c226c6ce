// Resource identifiers of the tree dialog, the Logdsk dialog and the path-entry controls
// that the destination dialogs share with Logdsk.
#pragma once

#define IDD_LOGDSK              20020
#define IDD_TREE                20037

// Shared by every path-entry dialog: drive line, path history combo box, tree button.
#define IDC_DRIVE_LINE          10172
#define IDC_PATH_COMBO          10173
#define IDC_TREE_BUTTON         10238
#define IDC_LOGDSK_PROMPT       2001

#define IDC_TREE_DRIVES         10236
#define IDC_TREE_REFRESH        10152
#define IDC_TREE_PATH           10150
#define IDC_TREE_LIST           10237
#define IDC_TREE_FILES          10163
#define IDC_TREE_STATUS         10164
#define IDC_TREE_DRIVE_LABEL    2002
// Posted by the tree dialog to itself: load or scan the shown drive once it is on screen.
#define IDM_TREE_LOAD           10231
