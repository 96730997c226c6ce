// The tree tests' stand-in for drive C:: its cache file written with the tree a test made.
// Drive C: of the test system reaches into the home directory through links, so a scan of it
// is not predictable; the dialog loads this file instead, as it would on a second visit.
#pragma once
#include <string>
#include <vector>
#include <string.h>
#include "tree/tree.h"
#include "dialogdriver.h"
#include "tree_ids.h"

const char DRIVE_C_CACHE[] = "C:\\KLPTREE.DAT";

// The tree of C: as a scan would give it if the drive held only directory, its ancestors, the
// given subdirectories of it (relative paths, parents first) and rootExtra in the root.
inline bool WriteDriveCCache(const std::string &directory, const std::vector<std::string> &subdirectories,
                             const std::string &rootExtra)
{
    if (!AllocateTreeTable())
        return false;
    BeginTreeScan("C:\\");
    auto add = [](int depth, const std::string &path) {
        TreeNode &n = TreeNodes[TreeNodeCount++];
        n.depth = depth;
        n.attributes = FILE_ATTRIBUTE_DIRECTORY;
        lstrcpynA(n.name, path.c_str(), TREE_NAME_BYTES);
    };
    if (!rootExtra.empty())
        add(1, "C:\\" + rootExtra);
    int depth = 0;
    for (size_t at = 3; at <= directory.size(); at++)
        if (at == directory.size() || directory[at] == '\\')
            add(++depth, directory.substr(0, at));
    for (const std::string &sub : subdirectories) {
        int below = 1;
        for (size_t i = 0; i < sub.size(); i++) {
            if (IsDBCSLeadByte((BYTE)sub[i]))
                i++;                    // its second byte may be 0x5C
            else
                below += sub[i] == '\\';
        }
        add(depth + below, directory + "\\" + sub);
    }
    SortTree(0, TreeNodeCount - 1);
    ReduceToNames();
    ComputeLineMasks();
    bool saved = SaveTreeFile(DRIVE_C_CACHE) == 1;
    FreeTreeTable();
    return saved;
}

inline void RemoveDriveCCache()
{
    SetFileAttributesA(DRIVE_C_CACHE, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(DRIVE_C_CACHE);
}

inline std::string ControlText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The tree dialog has filled its list and its status line.
inline bool TreeLoaded(HWND dialog)
{
    return SendDlgItemMessageA(dialog, IDC_TREE_LIST, LB_GETCOUNT, 0, 0) > 0 &&
           ControlText(dialog, IDC_TREE_STATUS).find("File System") != std::string::npos;
}

// Queues the steps of a user in the tree dialog: wait for the tree on from, press Down, wait
// for the selection to reach to, press Return.
inline void ChooseBelowInTree(DialogDriver &driver, const std::string &from, const std::string &to)
{
    driver.ThenSteps([from](HWND dialog, int) {
        if (!TreeLoaded(dialog) || from != TreePath)
            return false;
        PressKey(dialog, VK_DOWN);
        return true;
    });
    driver.ThenSteps([to](HWND dialog, int) {
        if (to != TreePath)
            return false;
        PressKey(dialog, VK_RETURN);
        return true;
    });
}
