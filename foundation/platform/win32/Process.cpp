#include "../Process.h"

#include <windows.h>

std::string OsGetCommandLine() {
    const char* line = GetCommandLineA();
    return line ? std::string(line) : std::string();
}

std::string OsGetModuleFileName() {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length);
}

std::string OsGetLocaleLanguageName() {
    char buffer[4];
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, buffer, sizeof buffer);
    if (length <= 0)
        return std::string();
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
}
