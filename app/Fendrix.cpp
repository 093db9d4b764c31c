// Program entry: one job from the command line in silent mode, otherwise the
// main window.
#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"
#include "window/UnitFrmMain.h"

#include <windows.h>

#include <memory>

namespace {

int RunSilentJob(TFendrixStartParams& params) {
    int code = rcUnknownError;
    try {
        auto engine = std::make_unique<TFendrix>();
        code = engine->Execute(params);
    } catch (...) {
        code = rcUnknownError;
    }
    return code;
}

}  // namespace

int main() {
    InitLanguage();
    int exitCode = rcUnknownError;
    try {
        auto params = std::make_unique<TFendrixStartParams>();
        params->ParseCommandLine();
        exitCode = params->Silent ? RunSilentJob(*params) : RunMainWindow(*params);
    } catch (...) {
        exitCode = rcUnknownError;
    }
    ExitProcess(static_cast<UINT>(exitCode));
}
