// The command language of "Unlha": a mode letter, switches, the archive, an optional base
// directory (ending with a backslash) and member or file names; "@file" pulls in a response
// file whose first line is read like the command line and whose other lines are one name each.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct UnlhaCommand {
    char mode = 0;                // upper case: X E (extract) A U M (pack) L V (list)
    bool paths = false;           // -x1: store and restore directory names
    int attributes = 0;           // -a1: store and restore hidden, system and read-only
    int recurse = 0;              // -r1 recurse, -r2 recurse and record directories
    bool replace_existing = false;  // -c: extraction may replace an existing file
    std::string archive;
    std::string base;             // destination (extract) or base directory (pack), "" = current
    std::vector<std::string> names;
    std::vector<std::string> ignored;  // switches this library does not act on
};

// Reads a whole response file; false when it cannot be read.
using ReadTextFile = std::function<bool(const std::string &path, std::string *text)>;

// Empty on success, else what is wrong with the command line.
std::string ParseUnlhaCommand(const std::string &line, const ReadTextFile &read, UnlhaCommand *cmd);
