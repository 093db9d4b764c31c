// The silent-mode tests start the real program; its path comes as
// --fendrix=PATH on the command line of this binary.
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
        std::fprintf(stderr, "usage: fendrix_cli_tests --fendrix=PATH\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
