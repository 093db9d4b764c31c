// The window tests create the main window in this process; a few also start
// the real program, whose path comes as --fendrix=PATH.
//
// They run on a desktop of their own (support/OwnDesktop.h).
#include "WindowFixture.h"

#include "support/OwnDesktop.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

std::string WindowTestDesktop;

namespace {

const char* const DesktopVariable = "FENDRIX_WINDOW_TEST_DESKTOP";

}  // namespace

int main(int argc, char** argv) {
    const char* desktop = std::getenv(DesktopVariable);
    if (!desktop || !*desktop)
        return RunOnOwnDesktop(DesktopVariable, "fendrix_window_tests");
    WindowTestDesktop = desktop;

    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--fendrix=", 10) == 0)
            SetFendrixExe(argv[i] + 10);
    }
    if (FendrixExe().empty()) {
        std::fprintf(stderr, "usage: fendrix_window_tests --fendrix=PATH\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
