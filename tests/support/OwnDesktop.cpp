#include "OwnDesktop.h"

#include <windows.h>

#include <cstdio>
#include <string>

int RunOnOwnDesktop(const char* variable, const char* who) {
    std::string name = std::string(who) + "-" + std::to_string(GetCurrentProcessId());
    HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) {
        std::fprintf(stderr, "%s: cannot create a desktop (error %lu)\n", who, GetLastError());
        return 2;
    }
    SetEnvironmentVariableA(variable, name.c_str());
    std::string line = GetCommandLineA();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.lpDesktop = &name[0];
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "%s: cannot start on the desktop (error %lu)\n", who, GetLastError());
        CloseDesktop(desktop);
        return 2;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseDesktop(desktop);
    return static_cast<int>(code);
}
