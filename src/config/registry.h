// Values directly under HKEY_CURRENT_USER\Software\Brevlock\Kelpo. Each call opens the key,
// reads or writes one value and closes it again; failures are never reported.
#pragma once
#include <windows.h>

BYTE RegReadByte(const char *name, BYTE defaultValue);
WORD RegReadWord(const char *name, WORD defaultValue);
// out receives the default, then the stored text if it fits into outSize bytes with its zero.
int RegReadString(const char *name, const char *defaultValue, char *out, int outSize);
COLORREF RegReadColor(const char *name, BYTE r, BYTE g, BYTE b);

void RegWriteByte(const char *name, BYTE value);
void RegWriteWord(const char *name, WORD value);
void RegWriteString(const char *name, const char *text);
void RegWriteColor(const char *name, COLORREF color);
void RegDeleteSetting(const char *name);

// Parses "R,G,B" (each 0-255); false for anything else.
bool ParseColorText(const char *text, COLORREF *color);

// Called with every value name the primitives read or write, in order; for the tests.
extern void (*RegistryAccessHook)(const char *name, bool write);

// In file mode the settings file takes over the record operations; filled in by its code.
extern void (*SettingsFileLoad)();
extern void (*SettingsFileSave)();
extern void (*ExtCommandsFileLoad)();
extern void (*ExtCommandsFileSave)();
