#include "WorkerThread.h"

TWorkerThread::TWorkerThread() : Thread([this] { Loop(); }) {}

TWorkerThread::~TWorkerThread() {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Stopping = true;
    }
    Changed.notify_all();
    Thread.join();
}

void TWorkerThread::Loop() {
    std::unique_lock<std::mutex> guard(Lock);
    for (;;) {
        Changed.wait(guard, [this] { return Stopping || Busy; });
        if (Busy) {
            guard.unlock();
            (*Task)();
            guard.lock();
            Busy = false;
            Changed.notify_all();
        } else if (Stopping) {
            return;
        }
    }
}

void TWorkerThread::RunAlongside(const std::function<void()>& there, const std::function<void()>& here) {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Task = &there;
        Busy = true;
    }
    Changed.notify_all();
    here();
    std::unique_lock<std::mutex> guard(Lock);
    Changed.wait(guard, [this] { return !Busy; });
}
