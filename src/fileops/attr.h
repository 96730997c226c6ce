// Attr (A): the attributes and the last-write time of the cursor entry or of every marked
// entry.
#pragma once
#include <windows.h>

enum AttrModeValue { ATTR_ONLY = 0, TIME_ONLY = 1, ATTR_AND_TIME = 2 };
extern int AttrMode;

// Check states: 0 clear on all, 1 set on all, 2 mixed.
enum { ATTR_BOX_COUNT = 4 };
extern const DWORD AttrEntryBits[ATTR_BOX_COUNT];    // EntryFlags bits: read-only, hidden, system, archive
extern const DWORD AttrFileBits[ATTR_BOX_COUNT];     // the matching file attributes

// The local date and time fields of the dialog.
struct TimeFields {
    unsigned year, month, day, hour, minute, second;
};

// The entries the command works on: the marked ones, or the cursor entry alone.
bool IsAttrTarget(int position);
// The state of box over the targets (table locked by the caller).
int AttrBoxState(int box);
// The attributes to set on an entry that has current now.
DWORD NewAttributes(DWORD current, const int states[ATTR_BOX_COUNT]);
// The local DOS date and time of a UTC file time, seconds even.
void FileTimeToFields(const FILETIME *utc, TimeFields *fields);
// A valid date and time (1980-2107; seconds are taken to the even second below) as a UTC file
// time; false for anything else, which must leave every time as it is.
bool FieldsToFileTime(const TimeFields *fields, FILETIME *utc);
// Parses a field of decimal digits; false for an empty or non-numeric text.
bool ParseField(const char *text, unsigned *value);

// Applies the dialog's choice to every target: attributes by AttrMode 0 and 2, the last-write
// time by 1 and 2 (files only). Failures are reported and the other entries still handled.
void ApplyAttributes(HWND hwnd, const int states[ATTR_BOX_COUNT], const FILETIME *writeTime);

// Dialog 20021: 1 with AttrMode 0 or 1, 0 on Cancel.
int MarkAttributeDialog(HWND owner);
// Dialog 20002: 1 after applying, 0 on Cancel.
int AttributeDialog(HWND owner);

void AttrCommand(HWND hwnd);
