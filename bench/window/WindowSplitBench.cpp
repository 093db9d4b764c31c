// What the progress display costs: the same split run silently and from the
// window, in alternating rounds. A benchmark, not a test: it prints figures
// and the window/silent ratio; bench/window-split.sh runs it and
// bench/run.sh puts the ratio against its target.
//
//   window_bench SOURCE SCRATCHDIR [RUNS]
//
// SOURCE is the file to split into 1.44 MB parts (the scripts use 1 GiB of
// random bytes); the parts go below SCRATCHDIR and are removed after each
// round. The last line is "window-split: WINDOW SILENT" (median seconds).
// Exit status 1 when a split did not end as it should, 2 on bad usage.
#include "engine/JobWindow.h"
#include "engine/UnitFendrix.h"
#include "foundation/platform/Prompts.h"
#include "window/UnitFrmMain.h"
#include "tests/support/OwnDesktop.h"
#include "tests/support/TestFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const DesktopVariable = "FENDRIX_WINDOW_BENCH_DESKTOP";

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int64_t SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Forwards the hooks to the window and adds up the time spent in them.
class TTimedJobWindow final : public TJobWindow {
public:
    explicit TTimedJobWindow(TJobWindow& inner) : Inner(inner) {}
    bool CheckCancel(const std::string& caption) override {
        const double start = Seconds();
        const bool cancel = Inner.CheckCancel(caption);
        CancelSpent += Seconds() - start;
        ++Calls;
        return cancel;
    }
    void* WindowHandle() const override { return Inner.WindowHandle(); }
    void SetProgressTotal(int64_t total) override { Inner.SetProgressTotal(total); }
    void SetProgressPosition(int64_t position) override {
        const double start = Seconds();
        Inner.SetProgressPosition(position);
        ProgressSpent += Seconds() - start;
    }
    void SetBusyCursor() override { Inner.SetBusyCursor(); }
    void ClearBusyCursor() override { Inner.ClearBusyCursor(); }

    TJobWindow& Inner;
    double CancelSpent = 0;
    double ProgressSpent = 0;
    long Calls = 0;
};

// Handles what is queued, as the program's message loop would.
void Pump(TFrmMain& frm) {
    for (int round = 0; round < 3; ++round) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT)
                DispatchLoopMessage(frm, msg);
        }
        Sleep(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_bench SOURCE SCRATCHDIR [RUNS]\n");
        return 2;
    }
    const char* desktop = std::getenv(DesktopVariable);
    if (!desktop || !*desktop)
        return RunOnOwnDesktop(DesktopVariable, "window_bench");

    const std::string source = argv[1];
    const std::string base = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const int64_t size = SizeOf(source);
    if (size < 0) {
        std::fprintf(stderr, "window_bench: no source %s\n", source.c_str());
        return 2;
    }

    // Every box is answered as a person who goes ahead would: Yes to the
    // confirmation, OK to the report.
    int boxes = 0;
    SetMessageBoxResponder([&boxes](const TMessageBoxRequest& request) {
        ++boxes;
        return (request.Style & 0xF) == mbYesNo ? idYes : idOk;
    });
    Accelerators = BuildAccelerators();
    TFendrixStartParams params;
    auto frm = std::make_unique<TFrmMain>();
    if (!frm->ClassRegistered()) {
        std::fprintf(stderr, "window_bench: the window class is not registered\n");
        return 1;
    }
    FrmMain = frm.get();
    frm->CreateWindows(params);
    Pump(*frm);
    SetWindowTextA(frm->EditSource, source.c_str());
    SendMessageA(frm->ComboSize, CB_SETCURSEL, 0, 0);  // 1.44 MB Disk
    SendMessageA(frm->CheckCopy, BM_SETCHECK, BST_UNCHECKED, 0);

    TTimedJobWindow timed(*frm);
    JobWindow = &timed;
    bool allWell = true;
    std::vector<double> silentTimes, windowTimes;
    for (int round = 0; round < rounds; ++round) {
        const std::string silentDir = base + "\\fx-silent" + std::to_string(round);
        const std::string windowDir = base + "\\fx-window" + std::to_string(round);
        CreateDirectoryA(silentDir.c_str(), nullptr);
        CreateDirectoryA(windowDir.c_str(), nullptr);

        auto runSilent = [&] {
            TFendrixStartParams silent;
            silent.SourcePath = source;
            silent.OutputDir = silentDir;
            silent.Size = DefaultPartSize;
            silent.Silent = true;
            const double start = Seconds();
            TFendrix engine;
            const uint8_t result = engine.Execute(silent);
            silentTimes.push_back(Seconds() - start);
            if (result != rcOk) {
                std::fprintf(stderr, "window_bench: the silent split ended with %d\n", result);
                allWell = false;
            }
        };
        auto runWindow = [&] {
            SetWindowTextA(frm->EditOutputDir, windowDir.c_str());
            boxes = 0;
            const double start = Seconds();
            SendMessageA(frm->BtnSplit, BM_CLICK, 0, 0);
            Pump(*frm);
            windowTimes.push_back(Seconds() - start);
            if (boxes != 2) {
                std::fprintf(stderr, "window_bench: %d boxes instead of confirmation and report\n", boxes);
                allWell = false;
            }
        };
        // Alternating, so that neither side always writes behind the
        // other's dirty pages.
        if (round % 2 == 0) {
            runSilent();
            runWindow();
        } else {
            runWindow();
            runSilent();
        }
        RemoveTree(silentDir);
        RemoveTree(windowDir);
    }
    JobWindow = nullptr;
    FrmMain = nullptr;
    frm.reset();
    DestroyAcceleratorTable(Accelerators);
    Accelerators = nullptr;
    SetMessageBoxResponder(nullptr);

    const double silent = Median(silentTimes), window = Median(windowTimes);
    const double mibSize = static_cast<double>(size) / 1048576.0;
    std::printf("split of %.0f MiB into 1.44 MB parts, medians of %d runs each\n", mibSize, rounds);
    std::printf("  silent:      %7.3f s  %8.1f MiB/s\n", silent, mibSize / silent);
    std::printf("  from window: %7.3f s  %8.1f MiB/s\n", window, mibSize / window);
    std::printf("  window/silent: %.3f (target at most 1.10)\n", window / silent);
    std::printf("  in the window's hooks, all runs: cancel checks %.3f s (%ld calls), progress %.3f s\n",
                timed.CancelSpent, timed.Calls, timed.ProgressSpent);
    std::printf("window-split: %.3f %.3f\n", window, silent);
    return allWell ? 0 : 1;
}
