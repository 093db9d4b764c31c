// Argument splitting of any command-line text: no crash, no argument with a
// quote in it, and arguments quoted again read back unchanged.
#include "FuzzInput.h"
#include "foundation/CommandLine.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    // The system hands the program a zero-terminated text.
    line = line.substr(0, line.find('\0'));
    const int count = ArgumentCountOf(line);
    FUZZ_CHECK(count >= 0 && static_cast<size_t>(count) <= line.size());

    std::vector<std::string> args;
    for (int i = 1; i <= count; ++i) {
        std::string arg = ArgumentTextOf(line, i);
        FUZZ_CHECK(!arg.empty());
        FUZZ_CHECK(arg.find('"') == std::string::npos);
        args.push_back(arg);
    }
    FUZZ_CHECK(ArgumentTextOf(line, count + 1).empty());

    std::string requoted = "prog";
    for (const std::string& arg : args)
        requoted += " \"" + arg + "\"";
    FUZZ_CHECK(ArgumentCountOf(requoted) == count);
    for (int i = 1; i <= count; ++i)
        FUZZ_CHECK(ArgumentTextOf(requoted, i) == args[static_cast<size_t>(i - 1)]);
    return 0;
}
