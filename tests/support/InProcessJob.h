// One job run inside the test process, the way the window runs it (a fresh
// engine, the parameters filled in) or the way a silent start does.
#pragma once

#include "engine/UnitFendrix.h"

#include <string>

struct TJobRequest {
    std::string Source;
    std::string OutputDir;
    int64_t Size = DefaultPartSize;
    bool Join = false;
    bool Silent = true;
    bool Batch = false;
    bool NoHeader = false;
    bool Parity = false;
    int32_t Recovery = 0;
    bool Verify = false;
    bool Repair = false;
};

// The job's code; its failure text too where failureText is given.
inline uint8_t RunInProcess(const TJobRequest& request, std::string* failureText = nullptr) {
    TFendrixStartParams params;
    params.SourcePath = request.Source;
    params.OutputDir = request.OutputDir;
    params.Size = request.Size;
    params.Unsplit = request.Join;
    params.Silent = request.Silent;
    params.Batch = request.Batch;
    params.NoHeader = request.NoHeader;
    params.Parity = request.Parity;
    params.Recovery = request.Recovery;
    params.Verify = request.Verify;
    params.Repair = request.Repair;
    TFendrix engine;
    const uint8_t result = engine.Execute(params);
    if (failureText)
        *failureText = engine.FailureText;
    return result;
}

// A join from start into outDir, as the window (silent false) or a silent
// start runs it.
inline uint8_t RunJoinInProcess(const std::string& start, const std::string& outDir, bool silent,
                                bool noHeader = false) {
    TJobRequest request;
    request.Source = start;
    request.OutputDir = outDir;
    request.Join = true;
    request.Silent = silent;
    request.NoHeader = noHeader;
    return RunInProcess(request);
}
