// Resource identifiers of the unpack dialogs.
#pragma once

#define IDD_UNPACK              20015
#define IDD_UNPACK_DEST         20016
#define IDC_UNPACK_NAME         10165
#define IDC_UNPACK_LIST         10151
#define IDC_UNPACK_LIBRARY      10167
#define IDC_UNPACK_VIEW         10140
#define IDC_UNPACK_EXTRACT      1036
#define IDC_UNPACK_DEST_PATH    10173
#define IDC_UNPACK_DEST_TREE    10238
#define IDD_PACK                20029
#define IDC_PACK_PATH           10173
#define IDC_PACK_NAME           10168
#define IDC_PACK_ADD            10169
#define IDC_PACK_UPDATE         10170
#define IDC_PACK_MOVE           10171
#define IDC_PACK_TREE           10238
