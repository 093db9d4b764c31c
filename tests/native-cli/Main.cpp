// The native program's tests; its path comes as --fendrix=PATH.
#include "NativeProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--fendrix=", 10) == 0)
            SetNativeProgram(std::filesystem::absolute(argv[i] + 10).string());
    }
    if (NativeProgram().empty()) {
        std::fprintf(stderr, "usage: fendrix_native_cli_tests --fendrix=PATH\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
