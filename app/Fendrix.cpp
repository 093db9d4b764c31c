// Program entry: one job from the command line in silent mode, otherwise the
// main window.
#include "engine/SilentJob.h"
#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"
#include "window/UnitFrmMain.h"

#include <windows.h>

#include <memory>

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
