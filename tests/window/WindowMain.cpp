// The window tests create the main window in this process; a few also start
// the real program, whose path comes as --fendrix=PATH.
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
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
