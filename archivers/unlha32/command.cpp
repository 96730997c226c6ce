#include "command.h"

#include "paths.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

struct Token {
    std::string text;
    bool quoted;        // some of it was in double quotes
    bool lead_quoted;   // it began with a double quote
};

std::vector<Token> Tokenize(const std::string &line)
{
    std::vector<Token> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n')) i++;
        if (i >= line.size()) break;
        Token t{std::string(), false, line[i] == '"'};
        bool in_quotes = false;
        for (; i < line.size(); i++) {
            char c = line[i];
            if (c == '"') {
                in_quotes = !in_quotes;
                t.quoted = true;
            } else if (!in_quotes && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
                break;
            } else {
                t.text += c;
            }
        }
        out.push_back(t);
    }
    return out;
}

std::string ApplySwitches(const std::string &sw, UnlhaCommand *cmd)
{
    size_t i = 1;
    while (i < sw.size()) {
        char c = (char)tolower((unsigned char)sw[i++]);
        size_t start = i;
        while (i < sw.size() && isdigit((unsigned char)sw[i])) i++;
        int value = i > start ? atoi(sw.substr(start, i - start).c_str()) : -1;
        switch (c) {
        case 'x': cmd->paths = value != 0; break;
        case 'a': cmd->attributes = value < 0 ? 1 : value; break;
        case 'r': cmd->recurse = value < 0 ? 1 : value; break;
        case 'c': cmd->replace_existing = value != 0; break;
        default: cmd->ignored.push_back(std::string("-") + c + sw.substr(start, i - start)); break;
        }
    }
    return std::string();
}

void SplitLines(const std::string &text, std::vector<std::string> *lines)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines->push_back(line);
        start = end + 1;
    }
}

std::string Unquote(std::string s)
{
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    if (a == std::string::npos) return std::string();
    s = s.substr(a, b - a + 1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

}  // namespace

std::string ParseUnlhaCommand(const std::string &line, const ReadTextFile &read, UnlhaCommand *cmd)
{
    *cmd = UnlhaCommand();
    std::vector<Token> tokens;
    for (const Token &t : Tokenize(line)) {
        // "@file" and @"file with blanks" name a response file, "@file" in quotes does not.
        if (t.lead_quoted || t.text.size() < 2 || t.text[0] != '@') {
            tokens.push_back(t);
            continue;
        }
        std::string text;
        if (!read(t.text.substr(1), &text)) return "cannot read the response file " + t.text.substr(1);
        std::vector<std::string> lines;
        SplitLines(text, &lines);
        if (lines.empty()) continue;
        for (const Token &first : Tokenize(lines[0])) tokens.push_back(first);
        // After the first line each line is one name, spaces and all.
        for (size_t i = 1; i < lines.size(); i++) {
            std::string name = Unquote(lines[i]);
            if (!name.empty()) tokens.push_back(Token{name, true, true});
        }
    }

    int positional = 0;
    for (const Token &t : tokens) {
        if (!t.quoted && t.text.size() > 1 && t.text[0] == '-') {
            std::string err = ApplySwitches(t.text, cmd);
            if (!err.empty()) return err;
            continue;
        }
        if (positional == 0) {
            if (t.text.size() != 1 || !strchr("xXeEaAuUmMlLvV", t.text[0])) return "unknown command " + t.text;
            cmd->mode = (char)toupper((unsigned char)t.text[0]);
        } else if (positional == 1) {
            cmd->archive = t.text;
        } else if (positional == 2 && EndsWithSeparator(t.text)) {
            cmd->base = t.text;
        } else {
            cmd->names.push_back(t.text);
        }
        positional++;
    }
    if (cmd->mode == 0) return "no command";
    if (cmd->archive.empty()) return "no archive name";
    return std::string();
}
