#include "fileops/renamedlg.h"
#include "fileops/inputdlg.h"
#include "fileops/fileops_ids.h"

enum { NEW_NAME_BYTES = 260 };

// The edit field starts with the old name, the caret at its start.
int RenameDialog(HWND owner, const char *oldName, char *newName)
{
    NameInput input = {IDD_RENAME, NULL, oldName, 0, oldName, newName, NEW_NAME_BYTES, NULL};
    return NameInputDialog(owner, &input);
}
