// What the progress display costs: the same split run silently and from the
// window. Run by scripts/bench-window.sh; it prints figures and checks none.
#include "WindowFixture.h"

#include "support/TestFiles.h"

#include <cstdio>
#include <cstdlib>

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

}  // namespace

TEST_F(TWindowBenchmark, DISABLED_SplitFromTheWindowAgainstSilent) {
    const char* mib = std::getenv("FENDRIX_BENCH_MIB");
    const int64_t size = (mib ? std::atoll(mib) : 1024) * 1048576;
    TScratchDir dir("wbench");
    const std::string source = dir / "bench.bin";
    MakeSparseFile(source, size);
    StartWindow();
    SetWindowTextA(Frm->EditSource, source.c_str());
    SendMessageA(Frm->ComboSize, CB_SETCURSEL, 1, 0);  // 650 MB CD
    SendMessageA(Frm->CheckCopy, BM_SETCHECK, BST_UNCHECKED, 0);

    TTimedJobWindow timed(*Frm);
    JobWindow = &timed;
    double silent = 0, window = 0;
    const int rounds = 4;
    for (int round = 0; round < rounds; ++round) {
        const std::string silentDir = dir / ("silent" + std::to_string(round));
        const std::string windowDir = dir / ("window" + std::to_string(round));
        MakeDirectory(silentDir);
        MakeDirectory(windowDir);

        auto runSilent = [&] {
            TFendrixStartParams params;
            params.SourcePath = source;
            params.OutputDir = silentDir;
            params.Size = 650LL * 1048576;
            params.Silent = true;
            const double start = Seconds();
            TFendrix engine;
            EXPECT_EQ(engine.Execute(params), rcOk);
            silent += Seconds() - start;
        };
        auto runWindow = [&] {
            SetWindowTextA(Frm->EditOutputDir, windowDir.c_str());
            Boxes.clear();
            const double start = Seconds();
            Click(Frm->BtnSplit);
            window += Seconds() - start;
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
    const double mibTotal = static_cast<double>(size) * rounds / 1048576.0;
    std::printf("split of %lld MiB, %d rounds each\n", static_cast<long long>(size / 1048576), rounds);
    std::printf("  silent:      %7.2f s  %8.1f MiB/s\n", silent, mibTotal / silent);
    std::printf("  from window: %7.2f s  %8.1f MiB/s\n", window, mibTotal / window);
    std::printf("  window/silent: %.3f (target at most 1.10)\n", window / silent);
    std::printf("  in the window's hooks: cancel checks %.3f s (%ld calls), progress %.3f s\n", timed.CancelSpent,
                timed.Calls, timed.ProgressSpent);
    JobWindow = Frm.get();
}
