// The silent entry point's guard: whatever escapes a job becomes the result
// code rcUnknownError instead of ending the process with a crash.
#pragma once

#include <cstdint>
#include <functional>

class TFendrixStartParams;

// Runs the job and returns its code; 12 when any exception leaves it.
uint8_t GuardedJobResult(const std::function<uint8_t()>& job);
// One fresh engine runs the job of the parameters, freed on every path.
uint8_t RunSilentJob(TFendrixStartParams& params);
