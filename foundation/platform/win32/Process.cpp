#include "../Process.h"

#include "WidePaths.h"

#include <windows.h>

std::string OsGetCommandLine() {
    const char* line = GetCommandLineA();
    return line ? std::string(line) : std::string();
}

// Wide, with room for the longest path: the 8-bit form stops at MAX_PATH
// bytes, which a path in UTF-8 passes long before MAX_PATH characters.
std::string OsGetModuleFileName() {
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    buffer.resize(length < buffer.size() ? length : 0);
    return NameInProcessText(buffer);
}

std::string OsGetLocaleLanguageName() {
    char buffer[4];
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, buffer, sizeof buffer);
    if (length <= 0)
        return std::string();
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
}
