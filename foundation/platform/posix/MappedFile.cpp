#include "MappedFile.h"

#include <csetjmp>
#include <csignal>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// Small enough that a checksum's step stays in the cache beside the write
// of the same bytes on the other core.
constexpr uint64_t ShowStep = 256 * 1024;

// The show under way on this thread: a fault inside its pages jumps back.
struct TShowGuard {
    sigjmp_buf Back;
    const char* Begin;
    const char* End;
};

thread_local TShowGuard* ActiveShow = nullptr;
struct sigaction EarlierBusAction;

void OnBusError(int signal, siginfo_t* info, void* context) {
    TShowGuard* show = ActiveShow;
    const char* at = static_cast<const char*>(info->si_addr);
    if (show && at >= show->Begin && at < show->End)
        siglongjmp(show->Back, 1);
    // Not a page of ours: what the process did before, or the default,
    // which ends it when the faulting access runs again.
    if (EarlierBusAction.sa_flags & SA_SIGINFO) {
        EarlierBusAction.sa_sigaction(signal, info, context);
    } else if (EarlierBusAction.sa_handler != SIG_DFL && EarlierBusAction.sa_handler != SIG_IGN) {
        EarlierBusAction.sa_handler(signal);
    } else {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(SIGBUS, &fallback, nullptr);
    }
}

void CatchBusErrors() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = &OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &EarlierBusAction) == 0;
    }();
    (void)installed;
}

}  // namespace

TMappedRange::TMappedRange(int fd, off_t offset, uint64_t length) : Wanted(length) {
    static const off_t page = static_cast<off_t>(sysconf(_SC_PAGESIZE));
    const off_t base = offset - offset % page;
    Span = static_cast<size_t>(length + static_cast<uint64_t>(offset - base));
    if (length == 0)
        return;
    void* at = mmap(nullptr, Span, PROT_READ, MAP_SHARED, fd, base);
    if (at == MAP_FAILED)
        return;
    Base = at;
    Start = static_cast<const char*>(at) + (offset - base);
    // Read once, front to back: the kernel reads ahead and drops behind.
    madvise(Base, Span, MADV_SEQUENTIAL);
}

TMappedRange::~TMappedRange() {
    if (Base)
        munmap(Base, Span);
}

int ShowMapped(const TMappedRange& range, const TBytesSeen& see) {
    CatchBusErrors();
    TShowGuard guard;
    guard.Begin = range.Bytes();
    guard.End = range.Bytes() + range.Length();
    int result = 0;
    // The signal mask is restored by the jump, so that SIGBUS, blocked
    // while its handler runs, is caught again next time.
    if (sigsetjmp(guard.Back, 1) == 0) {
        ActiveShow = &guard;
        for (uint64_t done = 0; done < range.Length(); done += ShowStep)
            see(range.Bytes() + done, static_cast<uint32_t>(std::min(range.Length() - done, ShowStep)));
    } else {
        result = EIO;
    }
    ActiveShow = nullptr;
    return result;
}
