// One job run inside the test process, the way the window runs it (a fresh
// engine, the parameters filled in) or the way a silent start does.
#pragma once

#include "engine/UnitFendrix.h"

#include <string>

struct TJobSpec {
    std::string Source;
    std::string OutputDir;
    int64_t Size = DefaultPartSize;
    bool Join = false;
    bool Silent = true;
    bool Batch = false;
    bool NoHeader = false;
};

inline uint8_t RunInProcess(const TJobSpec& spec) {
    TFendrixStartParams params;
    params.SourcePath = spec.Source;
    params.OutputDir = spec.OutputDir;
    params.Size = spec.Size;
    params.Unsplit = spec.Join;
    params.Silent = spec.Silent;
    params.Batch = spec.Batch;
    params.NoHeader = spec.NoHeader;
    TFendrix engine;
    return engine.Execute(params);
}

// A join from start into outDir, as the window (silent false) or a silent
// start runs it.
inline uint8_t RunJoinInProcess(const std::string& start, const std::string& outDir, bool silent,
                                bool noHeader = false) {
    TJobSpec spec;
    spec.Source = start;
    spec.OutputDir = outDir;
    spec.Join = true;
    spec.Silent = silent;
    spec.NoHeader = noHeader;
    return RunInProcess(spec);
}
