// The window tests create the main window in this process; a few also start
// the real program, whose path comes as --fendrix=PATH.
//
// They run on a desktop of their own. A Wine desktop takes its display
// driver from the process that opened it first, and the shared one may have
// been opened by a test without a display; a process also keeps the driver
// of the desktop it started on. So the binary starts itself again, on a new
// desktop, and passes on the exit code.
#include "WindowFixture.h"

#include "support/Processes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

std::string WindowTestDesktop;

namespace {

const char* const DesktopVariable = "FENDRIX_WINDOW_TEST_DESKTOP";

int RunOnOwnDesktop() {
    const std::string name = "fendrix-window-tests-" + std::to_string(GetCurrentProcessId());
    HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) {
        std::fprintf(stderr, "fendrix_window_tests: cannot create a desktop (error %lu)\n", GetLastError());
        return 2;
    }
    SetEnvironmentVariableA(DesktopVariable, name.c_str());
    std::string line = GetCommandLineA();
    std::string desktopName = name;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.lpDesktop = &desktopName[0];
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "fendrix_window_tests: cannot start on the desktop (error %lu)\n", GetLastError());
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

}  // namespace

int main(int argc, char** argv) {
    const char* desktop = std::getenv(DesktopVariable);
    if (!desktop || !*desktop)
        return RunOnOwnDesktop();
    WindowTestDesktop = desktop;

    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--fendrix=", 10) == 0)
            SetFendrixExe(argv[i] + 10);
    }
    if (FendrixExe().empty()) {
        std::fprintf(stderr, "usage: fendrix_window_tests --fendrix=PATH\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
