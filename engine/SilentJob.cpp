#include "SilentJob.h"

#include "UnitFendrix.h"

#include <memory>

uint8_t GuardedJobResult(const std::function<uint8_t()>& job) {
    try {
        return job();
    } catch (...) {
        return rcUnknownError;
    }
}

uint8_t RunSilentJob(TFendrixStartParams& params) {
    return GuardedJobResult([&params] {
        const auto engine = std::make_unique<TFendrix>();
        return engine->Execute(params);
    });
}
