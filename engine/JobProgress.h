// Progress of a job for a caller that is no window: the native program's
// status line. It is only told, never asked, so that a job that reports to
// it stays a silent job.
#pragma once

#include <cstdint>

class TJobProgress {
public:
    virtual ~TJobProgress() = default;
    // Bytes that the job will move in all; 0 when it is over.
    virtual void SetTotal(int64_t total) = 0;
    virtual void SetPosition(int64_t position) = 0;
};
