// The native program: fendrix split | join | verify, over the engine and the
// POSIX platform layer. Everything but the process's own facts lives in the
// command-line unit.
#include "NativeCli.h"

#include "foundation/UnitLanguage.h"
#include "foundation/platform/Process.h"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
    InitLanguage();
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string self = OsGetModuleFileName();
    const size_t slash = self.find_last_of('/');
    TNativeStreams streams{std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                           slash == std::string::npos ? std::string(".") : self.substr(0, slash)};
    try {
        return RunNativeCommandLine(args, streams);
    } catch (...) {
        std::cerr << "fendrix: " << TerminalLine(UnknownErrorText) << std::endl;
        return rcUnknownError;
    }
}
