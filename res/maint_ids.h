// Resource identifiers of the uninstall dialog.
#pragma once

#define IDD_UNINSTALL           20046
#define IDC_UNINSTALL_REGISTRY  10296
#define IDC_UNINSTALL_TREEDATA  10297
#define IDC_UNINSTALL_FILES     10298
#define IDC_UNINSTALL_DONE      10299
