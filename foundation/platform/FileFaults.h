// Fault injection for the tests: a hook asked before every file operation,
// which can make the operation fail with a real system error number, or
// make a write accept fewer bytes than it was given. No hook is set in the
// programs; both implementations of the file system ask it.
#pragma once

#include "OsError.h"

#include <cstdint>
#include <functional>

// List: a directory opened for listing; Copy: a whole file copied; Close:
// an open file closed.
enum class TFileOperation { Create, Open, Read, Write, Seek, SetTime, MakeDirectory, List, Copy, Close };

struct TFileFault {
    uint32_t Error = 0;
    uint32_t ShortWriteBy = 0;
};

using TFileFaultHook = std::function<TFileFault(TFileOperation operation)>;
void SetFileFaultHook(TFileFaultHook hook);
// What the hook asks of this operation; no fault without a hook.
TFileFault InjectedFault(TFileOperation operation);
// True where the hook fails this operation; error is then what the system
// would have reported for the hook's error number.
bool InjectedError(TFileOperation operation, TOsError& error);
