// Dialogs and controls of the program launchers, the external command editor and the exit question.
#pragma once

#define IDD_EXTCMD_EDITOR       20006
#define IDD_EXEC                20011
#define IDD_EXIT                20013
#define IDD_EXTCMD_OPTIONS      20014
#define IDD_SHELL               20038

#define IDC_COMMAND_EDIT        10185

#define IDC_EXT_LETTER          10300
#define IDC_EXT_COMMAND         10301
#define IDC_EXT_LIST            10302
#define IDC_EXT_DIR             10303
#define IDC_EXT_TITLE           10304
#define IDC_EXT_RUN             10142
#define IDC_EXT_BROWSE          10235
#define IDC_EXT_HELP_TOGGLE     1047
#define IDC_EXT_HELP            1048

#define IDS_MACRO_HELP_FIRST    25020
#define IDS_MACRO_HELP_LAST     25023
