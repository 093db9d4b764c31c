// Helpers that the POSIX implementation's files share; not part of the
// platform's interface.
#pragma once

#include "../FileSystem.h"
#include "../OsError.h"

#include <cerrno>
#include <cstdint>

// A handle of this platform is a file descriptor.
inline int AsDescriptor(TOsHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file));
}

// Fills error from an error number and returns false, for the failure
// paths of the calls that report so.
inline bool Failed(int code, TOsError& error) {
    error = OsErrorFromCode(static_cast<uint32_t>(code));
    return false;
}

inline bool Failed(TOsError& error) {
    return Failed(errno, error);
}
