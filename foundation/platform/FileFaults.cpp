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
