// A second thread kept for the length of a job, for loops whose every step
// splits into two halves that touch different memory (the recovery data's
// arithmetic beside the checksums of the same bytes). Starting a thread per
// step would cost more than a small step does. The system's own threads:
// the C++ library's would bring a threading library of its own into the
// Windows program, larger than everything that uses it.
#pragma once

#include <functional>
#include <memory>

class TWorkerThread {
public:
    TWorkerThread();
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Runs there on the worker and here on the calling thread; returns when
    // both are done. Neither may throw. Without a worker (the system would
    // not start one) both run here, one after the other.
    void RunAlongside(const std::function<void()>& there, const std::function<void()>& here);

    struct TState;

private:
    std::unique_ptr<TState> State;
};

// RunAlongside for halves that may raise (a file that cannot be read): the
// other half is still waited for, and the first failure is raised once both
// are done.
void RunBoth(TWorkerThread& worker, const std::function<void()>& there, const std::function<void()>& here);
