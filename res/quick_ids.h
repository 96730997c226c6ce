// Resource identifiers of the QuickAccess dialog.
#pragma once

#define IDD_QUICK               20030
#define IDC_QUICK_LIST          10193
#define IDC_QUICK_REGISTER      10194
#define IDC_QUICK_DELETE        10196
