// What the progress display costs: the same split run silently and from the
// window. Run by bench/window-split.sh; it prints figures and checks none.
//
// FENDRIX_BENCH_SOURCE names the file to split (else a sparse file of
// FENDRIX_BENCH_MIB MiB, default 1024, is made), FENDRIX_BENCH_RUNS the
// number of runs of each (default 3); the parts go below FENDRIX_BENCH_DIR
// (else a scratch directory).
#include "WindowFixture.h"

#include "support/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using TWindowBenchmark = TWindowTest;

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void MakeSparseFile(const std::string& path, int64_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(h, end, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

TEST_F(TWindowBenchmark, DISABLED_SplitFromTheWindowAgainstSilent) {
    TScratchDir dir("wbench");
    const std::string base = Environment("FENDRIX_BENCH_DIR").empty() ? dir.Path() : Environment("FENDRIX_BENCH_DIR");
    std::string source = Environment("FENDRIX_BENCH_SOURCE");
    if (source.empty()) {
        const std::string mib = Environment("FENDRIX_BENCH_MIB");
        source = dir / "bench.bin";
        MakeSparseFile(source, (mib.empty() ? 1024 : std::atoll(mib.c_str())) * 1048576);
    }
    const int64_t size = FileSizeOf(source);
    const std::string runsText = Environment("FENDRIX_BENCH_RUNS");
    const int rounds = runsText.empty() ? 3 : std::max(1, std::atoi(runsText.c_str()));
    StartWindow();
    SetWindowTextA(Frm->EditSource, source.c_str());
    SendMessageA(Frm->ComboSize, CB_SETCURSEL, 0, 0);  // 1.44 MB Disk
    SendMessageA(Frm->CheckCopy, BM_SETCHECK, BST_UNCHECKED, 0);

    TTimedJobWindow timed(*Frm);
    JobWindow = &timed;
    std::vector<double> silentTimes, windowTimes;
    for (int round = 0; round < rounds; ++round) {
        const std::string silentDir = base + "\\fx-silent" + std::to_string(round);
        const std::string windowDir = base + "\\fx-window" + std::to_string(round);
        MakeDirectory(silentDir);
        MakeDirectory(windowDir);

        auto runSilent = [&] {
            TFendrixStartParams params;
            params.SourcePath = source;
            params.OutputDir = silentDir;
            params.Size = DefaultPartSize;
            params.Silent = true;
            const double start = Seconds();
            TFendrix engine;
            EXPECT_EQ(engine.Execute(params), rcOk);
            silentTimes.push_back(Seconds() - start);
        };
        auto runWindow = [&] {
            SetWindowTextA(Frm->EditOutputDir, windowDir.c_str());
            Boxes.clear();
            const double start = Seconds();
            Click(Frm->BtnSplit);
            windowTimes.push_back(Seconds() - start);
            EXPECT_EQ(Boxes.size(), 2u) << "confirmation and report";
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
    const double silent = Median(silentTimes), window = Median(windowTimes);
    const double mibSize = static_cast<double>(size) / 1048576.0;
    std::printf("split of %.0f MiB into 1.44 MB parts, medians of %d runs each\n", mibSize, rounds);
    std::printf("  silent:      %7.3f s  %8.1f MiB/s\n", silent, mibSize / silent);
    std::printf("  from window: %7.3f s  %8.1f MiB/s\n", window, mibSize / window);
    std::printf("  window/silent: %.3f (target at most 1.10)\n", window / silent);
    std::printf("  in the window's hooks, all runs: cancel checks %.3f s (%ld calls), progress %.3f s\n",
                timed.CancelSpent, timed.Calls, timed.ProgressSpent);
    std::printf("window-split: %.3f %.3f\n", window, silent);
    JobWindow = Frm.get();
}
