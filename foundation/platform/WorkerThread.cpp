#include "WorkerThread.h"

#include <exception>

void RunBoth(TWorkerThread& worker, const std::function<void()>& there, const std::function<void()>& here) {
    std::exception_ptr failures[2];
    const auto guarded = [](const std::function<void()>& half, std::exception_ptr& failure) {
        try {
            half();
        } catch (...) {
            failure = std::current_exception();
        }
    };
    worker.RunAlongside([&] { guarded(there, failures[0]); }, [&] { guarded(here, failures[1]); });
    for (const std::exception_ptr& failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
}
