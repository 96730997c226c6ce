#include "paths.h"

#include "lha.h"

bool IsSeparatorAt(const std::string &s, size_t i)
{
    for (size_t k = 0; k < s.size(); k++) {
        if (k == i) return s[k] == '\\' || s[k] == '/';
        if (lha::IsSjisLead((uint8_t)s[k]) && k + 1 < s.size()) {
            if (k + 1 == i) return false;
            k++;
        }
    }
    return false;
}

bool EndsWithSeparator(const std::string &s) { return !s.empty() && IsSeparatorAt(s, s.size() - 1); }

std::string WithSeparator(const std::string &dir)
{
    if (dir.empty() || EndsWithSeparator(dir)) return dir;
    return dir + "\\";
}

std::string DirectoryPart(const std::string &path)
{
    size_t cut = std::string::npos;
    for (size_t k = 0; k < path.size(); k++) {
        if (path[k] == '\\' || path[k] == '/' || (k == 1 && path[k] == ':')) cut = k;
        if (lha::IsSjisLead((uint8_t)path[k]) && k + 1 < path.size()) k++;
    }
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string NamePart(const std::string &path) { return path.substr(DirectoryPart(path).size()); }

std::string UpperAscii(std::string s)
{
    for (size_t k = 0; k < s.size(); k++) {
        if (lha::IsSjisLead((uint8_t)s[k]) && k + 1 < s.size()) {
            k++;
            continue;
        }
        if (s[k] >= 'a' && s[k] <= 'z') s[k] = (char)(s[k] - 32);
    }
    return s;
}
