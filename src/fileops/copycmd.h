// The Copy (C) and Move (M) commands over the marked entries or the cursor entry.
#pragma once
#include <windows.h>

void CopyCommand(HWND hwnd);
void MoveCommand(HWND hwnd);
void CopyMoveCommand(HWND hwnd, int move);
// The work of the command once CopyMoveMode and CopyDestination are set: refuses a move into
// the listed directory (0), else walks the entries and returns 1 with ProcessedCount set,
// CursorName the entry for the cursor, and the result list still allocated.
int CopyMoveLoop();
// The result dialog's text (64 bytes): "3個のファイルのコピーを終了しました" and the like.
void ResultSummary(char *text);
