#include "FileFaults.h"

namespace {

TFileFaultHook& FaultHook() {
    static TFileFaultHook hook;
    return hook;
}

}  // namespace

void SetFileFaultHook(TFileFaultHook hook) {
    FaultHook() = std::move(hook);
}

TFileFault InjectedFault(TFileOperation operation) {
    return FaultHook() ? FaultHook()(operation) : TFileFault();
}

bool InjectedError(TFileOperation operation, TOsError& error) {
    const TFileFault fault = InjectedFault(operation);
    if (fault.Error == 0)
        return false;
    error = OsErrorFromCode(fault.Error);
    return true;
}
