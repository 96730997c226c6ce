// UNZIP32.DLL: the ZIP archiver library the filer loads by name.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "zip.h"

namespace {

LONG g_running = 0;
BOOL g_background = FALSE;
const WORD kVersion = 100;

void CopyOut(const std::string& text, LPSTR out, DWORD size) {
  if (!out || size == 0) return;
  size_t n = text.size() < size - 1 ? text.size() : size_t(size - 1);
  memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

extern "C" {

__declspec(dllexport) WORD WINAPI UnZipGetVersion(void) { return kVersion; }

__declspec(dllexport) BOOL WINAPI UnZipGetRunning(void) { return g_running != 0; }

__declspec(dllexport) BOOL WINAPI UnZipSetBackGroundMode(BOOL mode) {
  g_background = mode;
  return TRUE;
}

__declspec(dllexport) int WINAPI UnZip(HWND, LPCSTR cmdLine, LPSTR out, DWORD size) {
  if (InterlockedCompareExchange(&g_running, 1, 0) != 0) {
    CopyOut("another command is running\n", out, size);
    return ZIP_E_BUSY;
  }
  int r;
  std::string text;
  try {
    r = ZipRunCommand(cmdLine ? cmdLine : "", text, out && size ? size_t(size) : size_t(-1));
  } catch (const std::bad_alloc&) {
    text = "out of memory\n";
    r = ZIP_E_MEMORY;
  }
  CopyOut(text, out, size);
  InterlockedExchange(&g_running, 0);
  return r;
}

__declspec(dllexport) BOOL WINAPI UnZipCheckArchive(LPCSTR path, int) {
  if (!path) return FALSE;
  try {
    return ZipCheckArchiveFile(path) ? TRUE : FALSE;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

__declspec(dllexport) BOOL WINAPI UnZipConfigDialog(HWND owner, LPSTR buffer, int) {
  if (buffer) buffer[0] = '\0';
  char text[160];
  wsprintfA(text, "UNZIP32.DLL V%d.%02d\n\n設定項目はありません。", kVersion / 100, kVersion % 100);
  return MessageBoxA(owner, text, "UNZIP32", MB_OK | MB_ICONINFORMATION) != 0;
}

}  // extern "C"
