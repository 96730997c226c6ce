// The header of the list screen: frame, banner, clock, page indicator, disk figures, path,
// cursor entry details, marked and file figures; and the panel of external commands shown while Alt is held.
#pragma once
#include <windows.h>

// The command set shown by the Alt panel: -1 none, 0 commands A to Z, 1 commands a to z.
extern int AltOverlay;
// The pixels the Alt panel covers, kept from its first draw; closing it repaints exactly these.
extern RECT AltOverlayRect;
// Called when the shown directory changes, so that the other running copies can be told.
extern void (*DirectoryChangeAnnouncer)(const char *path);

void DrawFrame(HDC dc);
void ForgetPageForm();               // the next information block draws the page captions too
void DrawClock(HDC dc);
void DrawClockAt(HDC dc, const SYSTEMTIME *now);
void ForgetClock();                  // the next DrawClock draws every field
int ClockDateColumn();
int ClockTimeColumn();
void DrawDiskFigures(HDC dc);
void DrawInfoBlock(HDC dc, int pageTop);
void DrawMarkedFigures(HDC dc);
void DrawEntryDetails(HDC dc, int position);   // table locked by the caller
void DrawOperationDetails(HDC dc, const char *path, const WIN32_FIND_DATAA *found);
void DrawAltOverlay(HWND window, int set, bool firstDraw);
void CloseAltOverlay(HWND window);
// Installs DrawEntryDetails and DrawMarkedFigures as the grid's drawers of the header.
void InstallHeaderDrawers();

// Figures for the fixed-width fields: grouped by thousands, without separators when those do
// not fit, and in K, M, G or T units when even the digits do not fit; result exactly width bytes, right-aligned.
void FitFigure(unsigned long long value, int width, char *out);
// Cut between whole characters to at most width bytes, then padded with blanks to width.
void FitText(const char *text, int width, char *out);
// "...%s" of the name when it has 47 bytes or more: its first 44 bytes and an ellipsis.
void NameLineText(const char *name, char *out);
// The path as the path line shows it (before padding): 8.3 form in the classic sub-mode.
void PathLineText(const char *path, char *out);
