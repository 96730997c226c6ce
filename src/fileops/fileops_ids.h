// Resource identifiers of the delete, rename, make-directory, new-file, find and attribute dialogs.
#pragma once

#define IDD_ATTRIBUTE           20002
#define IDD_DELETE_CONFIRM      20010
#define IDD_FIND                20017
#define IDD_MARK_ATTRIBUTE      20021
#define IDD_MAKE_DIRECTORY      20027
#define IDD_NEW_FILE            20028
#define IDD_CASE_RENAME         20032
#define IDD_RENAME              20033
#define IDD_DELETE_FILE         20039

// Shared by the small input dialogs: the old name and the edit field (the delete
// confirmation shows its text in 10185 as well).
#define IDC_OLD_NAME            10183
#define IDC_NAME_EDIT           10185
#define IDC_PROMPT              10186

// Delete confirmations.
#define IDC_DELETE_OK           10305
#define IDC_DELETE_ALL          3
#define IDC_DELETE_OK_LOOK      1041
#define IDC_DELETE_ALL_LOOK     1040
#define IDC_DELETE_WORDS        1039
#define IDC_DELETE_PATH         10212

// Letter case of the marked names.
#define IDC_CASE_UPPER          10240
#define IDC_CASE_LOWER          10241

// Attributes and time stamp.
#define IDC_ATTR_NAME           10212
#define IDC_ATTR_GROUP          10213
#define IDC_ATTR_READONLY       10214
#define IDC_ATTR_HIDDEN         10215
#define IDC_ATTR_SYSTEM         10216
#define IDC_ATTR_ARCHIVE        10217
#define IDC_TIME_GROUP          10218
#define IDC_TIME_YEAR           10219
#define IDC_TIME_MONTH          10220
#define IDC_TIME_DAY            10221
#define IDC_TIME_HOUR           10222
#define IDC_TIME_MINUTE         10223
#define IDC_TIME_SECOND         10224
#define IDC_TIME_LABEL_YEAR     10225
#define IDC_TIME_LABEL_MONTH    10226
#define IDC_TIME_LABEL_DAY      10227
#define IDC_TIME_LABEL_HOUR     10228
#define IDC_TIME_LABEL_MINUTE   10229
#define IDC_TIME_LABEL_SECOND   10230
#define IDC_ATTR_EXTENDED       10141

// Which part of the marked entries the attribute dialog changes.
#define IDC_MODE_ATTRIBUTES     10213
#define IDC_MODE_TIME           10218
