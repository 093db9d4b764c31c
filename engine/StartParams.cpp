#include "UnitFendrix.h"

#include "foundation/CommandLine.h"
#include "foundation/NumberParsing.h"
#include "foundation/UnitLanguage.h"

// "/RECOVERY" alone asks for one volume, as "/PARITY" does.
int32_t ParseRecoveryCount(const std::string& text) {
    if (text.empty())
        return 1;
    int errorPos = 0;
    const int64_t value = ParseInt64(text, errorPos);
    return errorPos == 0 && value >= 1 && value <= RecoveryMostVolumes ? static_cast<int32_t>(value)
                                                                        : RecoveryCountInvalid;
}

void TFendrixStartParams::ParseCommandLine() {
    std::vector<std::string> args;
    const int count = ArgumentCount();
    for (int i = 1; i <= count; ++i)
        args.push_back(ArgumentText(i));
    ParseArguments(args);
}

void TFendrixStartParams::ParseArguments(const std::vector<std::string>& args) {
    int plain = 0;
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] == '/') {
            const std::string name = UpperText(arg.substr(1));
            if (name == "COPY") {
                Copy = true;
            } else if (name == "BATCH") {
                Batch = true;
            } else if (name.compare(0, 4, "SIZE") == 0) {
                int errorPos = 0;
                const int64_t value = ParseInt64(name.substr(4), errorPos);
                Size = errorPos == 0 ? value : 0;
            } else if (name == "SILENT") {
                Silent = true;
            } else if (name == "UNSPLIT") {
                Unsplit = true;
            } else if (name == "NOHEADER") {
                NoHeader = true;
            } else if (name == "VERIFY") {
                Verify = true;
            } else if (name == "PARITY") {
                Parity = true;
            } else if (name == "REPAIR") {
                Repair = true;
            } else if (name.compare(0, 8, "RECOVERY") == 0) {
                Recovery = ParseRecoveryCount(name.substr(8));
            }
        } else {
            if (plain == 0)
                SourcePath = arg;
            else if (plain == 1)
                OutputDir = arg;
            ++plain;
        }
    }
    // The window always offers the copy; only a silent job needs /COPY.
    if (!Silent)
        Copy = true;
}
