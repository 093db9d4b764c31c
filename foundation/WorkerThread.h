// A second thread kept for the length of a job, for loops whose every step
// splits into two halves that touch different memory (the recovery data's
// arithmetic beside the checksums of the same bytes). Starting a thread per
// step would cost more than a small step does.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class TWorkerThread {
public:
    TWorkerThread();
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Runs there on the worker and here on the calling thread; returns when
    // both are done. Neither may throw.
    void RunAlongside(const std::function<void()>& there, const std::function<void()>& here);

private:
    void Loop();

    std::mutex Lock;
    std::condition_variable Changed;
    const std::function<void()>* Task = nullptr;
    bool Busy = false;
    bool Stopping = false;
    std::thread Thread;
};
