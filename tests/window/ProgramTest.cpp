// The real program in window mode: its window comes up filled from the
// command line and closing it ends the process with exit code 0.
#include "WindowFixture.h"

#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct TFoundWindow {
    DWORD ProcessId;
    HWND Window;
};

BOOL CALLBACK FindFendrixWindow(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<TFoundWindow*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (pid == found->ProcessId && std::string(name) == "Fendrix") {
        found->Window = window;
        return FALSE;
    }
    return TRUE;
}

// A started program, ended by force if a test leaves it running.
class TRunningProgram {
public:
    explicit TRunningProgram(const std::string& arguments) {
        std::string line = Quoted(FendrixExe()) + " " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string desktop = WindowTestDesktop;
        si.lpDesktop = &desktop[0];
        Started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &Info) != 0;
    }
    ~TRunningProgram() {
        if (!Started)
            return;
        if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(Info.hProcess, 255);
        CloseHandle(Info.hThread);
        CloseHandle(Info.hProcess);
    }
    TRunningProgram(const TRunningProgram&) = delete;
    TRunningProgram& operator=(const TRunningProgram&) = delete;

    bool Started = false;
    PROCESS_INFORMATION Info{};

    HWND WaitForWindow() const {
        for (int i = 0; i < 200; ++i) {
            TFoundWindow found{Info.dwProcessId, nullptr};
            EnumWindows(FindFendrixWindow, reinterpret_cast<LPARAM>(&found));
            if (found.Window && IsWindowVisible(found.Window))
                return found.Window;
            Sleep(50);
        }
        return nullptr;
    }
    // The exit code, or -1 when the program did not end in time.
    int WaitForExit() const {
        if (WaitForSingleObject(Info.hProcess, 20000) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(Info.hProcess, &code);
        return static_cast<int>(code);
    }
};

std::string TextOf(HWND window) {
    char text[MAX_PATH] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

}  // namespace

TEST(WindowProgram, StartsFilledFromTheCommandLineAndEndsWithZeroWhenClosed) {
    TScratchDir dir("wprog");
    WriteFileBytes(dir / "a.bin", "a");
    struct TRow {
        const char* Name;
        UINT Message;
        WPARAM WParam;
    };
    const TRow rows[] = {
        {"close message", WM_CLOSE, 0},
        {"system close command (Alt+F4)", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TRunningProgram program(Quoted(dir / "a.bin") + " " + Quoted(dir.Path()) + " /SIZE1000");
        ASSERT_TRUE(program.Started);
        HWND window = program.WaitForWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(TextOf(window), "Fendrix light");
        // The first child is the source field, filled from the command line.
        HWND source = GetWindow(window, GW_CHILD);
        EXPECT_EQ(TextOf(source), dir / "a.bin");
        PostMessageA(window, row.Message, row.WParam, 0);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
}

TEST(WindowProgram, SilentModeOpensNoWindow) {
    TScratchDir dir("wsil");
    TRunningProgram program("/SILENT " + Quoted(dir / "missing") + " " + Quoted(dir.Path()));
    ASSERT_TRUE(program.Started);
    EXPECT_EQ(program.WaitForExit(), 1);
    TFoundWindow found{program.Info.dwProcessId, nullptr};
    EnumWindows(FindFendrixWindow, reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found.Window, nullptr);
}
