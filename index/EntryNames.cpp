#include "EntryNames.h"

namespace {

bool IsForbiddenChar(unsigned char c) {
    if (c >= 1 && c <= 31)
        return true;
    switch (c) {
    case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|': return true;
    default: return false;
    }
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Windows opens these names as devices in every directory, whatever the
// extension: CON.txt is the console, not a file.
bool IsDeviceName(const std::string& component) {
    std::string stem = component.substr(0, component.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = AsciiUpper(c);
    static const char* const fixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* name : fixed) {
        if (stem == name)
            return true;
    }
    if (stem.size() < 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0))
        return false;
    const std::string digit = stem.substr(3);
    // Digits, and the superscripts one, two and three: single bytes in code
    // page 1252, two in UTF-8 (the name is checked in the process code page).
    if (digit.size() == 1) {
        const unsigned char d = static_cast<unsigned char>(digit[0]);
        return (d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

bool IsSafeComponent(const std::string& component) {
    if (component.empty())
        return false;
    if (component.find_first_not_of(". ") == std::string::npos)
        return false;
    const char last = component.back();
    if (last == '.' || last == ' ')
        return false;
    return !IsDeviceName(component);
}

}  // namespace

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name[0] == '\\')
        return false;
    for (char c : name) {
        if (c == '\0' || IsForbiddenChar(static_cast<unsigned char>(c)))
            return false;
    }
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        if (!IsSafeComponent(name.substr(start, end == std::string::npos ? std::string::npos : end - start)))
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

bool IsSafePosixEntryName(const std::string& name) {
    for (char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127 || c == '/')
            return false;
    }
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        const std::string component = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}
