// Kelpo.CFG: the settings as a commented text file in the form of a profile (INI) file, written
// and read on demand, or holding the settings for a whole run started with " /r".
#pragma once
#include <windows.h>
#include <string>

// The whole file as it is written: identification, five commented sections, [ExtCommand].
std::string MakeSettingsText();
// Applies a file's text to the settings and the ExtCommands; false (nothing changed) when the
// text does not identify itself as a settings file.
bool ApplySettingsText(const char *text);
// The 52 ExtCommand lines of a file's text; an empty or missing line clears its entry.
void ApplyExtCommandText(const char *text);

// The value of key in the first section of that name, trimmed; false when there is none.
bool ProfileValue(const char *text, const char *section, const char *key, std::string *value);
// The value of one ExtCommand line as written, and back (title, command line).
std::string ExtCommandValue(const char *title, const char *command);
bool ParseExtCommandValue(const char *value, char *title, int titleSize, char *command, int commandSize);

// path NULL: Kelpo.CFG in the program directory. Writing goes through a temporary file that
// replaces the old one, so a failed write leaves the old file whole; false on failure.
bool WriteSettingsFile(const char *path);
bool ReadSettingsFile(const char *path);

// File mode (" /r"): the settings record's load and save go to Kelpo.CFG.
void InstallSettingsFileHooks();

// The two menu commands: save to and read from a file the user picks.
void SaveSettingsFileCommand(HWND hwnd);
void ReadSettingsFileCommand(HWND hwnd);
