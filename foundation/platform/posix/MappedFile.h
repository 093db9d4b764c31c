// A read-only mapping of part of a regular file, for bytes that the program
// must see but need not copy: a checksum reads them where the page cache
// holds them, and a write can take them from there, which is the one copy
// a split makes of them.
//
// A file that shrinks while it is mapped takes its pages away; touching one
// of them raises SIGBUS. ShowMapped turns that into an error of the call, so
// that the job ends as it does when a read fails, never with a signal.
#pragma once

#include "../SystemCopy.h"

#include <cstdint>
#include <sys/types.h>

class TMappedRange {
public:
    // length bytes of fd from offset; Bytes() is null where the system
    // would not map them (not a regular file, no room).
    TMappedRange(int fd, off_t offset, uint64_t length);
    ~TMappedRange();
    TMappedRange(const TMappedRange&) = delete;
    TMappedRange& operator=(const TMappedRange&) = delete;

    const char* Bytes() const { return Start; }
    uint64_t Length() const { return Wanted; }

private:
    void* Base = nullptr;
    size_t Span = 0;
    const char* Start = nullptr;
    uint64_t Wanted = 0;
};

// Shows the range to see in steps, in order; returns 0, or EIO where the
// file lost bytes of the range meanwhile. see must hold nothing that needs
// undoing: the step it is in when the pages go is left, not unwound.
int ShowMapped(const TMappedRange& range, const TBytesSeen& see);
