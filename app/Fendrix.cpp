// Program entry: one job from the command line in silent mode, otherwise the
// main window.
#include "engine/SilentJob.h"
#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"
#include "window/UnitFrmMain.h"

#include <windows.h>

#include <cstdlib>
#include <memory>

// Reached only when an exception escapes where none may (main catches the
// rest). The default handler of the C++ library names the exception's type
// on the console this program does not have, and for that links in the
// library's whole name demangler, some 45 KB of a program that copies
// itself next to every set it splits: ending is all there is to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

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
