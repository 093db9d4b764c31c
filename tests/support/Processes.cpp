#include "Processes.h"

#include <windows.h>

namespace {

std::string& ExePath() {
    static std::string path;
    return path;
}

}  // namespace

const std::string& FendrixExe() {
    return ExePath();
}

void SetFendrixExe(const std::string& path) {
    ExePath() = path;
}

std::string Quoted(const std::string& arg) {
    return "\"" + arg + "\"";
}

int RunProgram(const std::string& program, const std::string& arguments, const std::string& workDir,
               unsigned timeoutMs) {
    std::string line = Quoted(program) + (arguments.empty() ? "" : " " + arguments);
    // The child's console output would only clutter the test log.
    SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    // A start can fail while Wine's server is busy starting or ending
    // other processes; nothing has run then, so trying once more is safe.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(500);
        started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                 workDir.empty() ? nullptr : workDir.c_str(), &si, &pi);
    }
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return -1;
    const DWORD waited = WaitForSingleObject(pi.hProcess, timeoutMs);
    DWORD code = static_cast<DWORD>(-1);
    if (waited == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 255);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return waited == WAIT_OBJECT_0 ? static_cast<int>(code) : -1;
}

int RunFendrix(const std::string& arguments, const std::string& workDir) {
    return RunProgram(FendrixExe(), arguments, workDir);
}
