#include "CommandLine.h"

#include "platform/TextServices.h"

namespace {

inline bool IsSeparator(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

inline bool IsArgumentChar(char c) {
    return static_cast<unsigned char>(c) > 32;
}

// Reads one argument from p into arg and returns where the next one starts.
const char* NextArgument(const char* p, std::string& arg) {
    arg.clear();
    for (;;) {
        while (IsSeparator(*p))
            ++p;
        if (p[0] == '"' && p[1] == '"')
            p += 2;
        else
            break;
    }
    while (IsArgumentChar(*p)) {
        if (*p == '"') {
            p = OsCharNext(p);
            while (*p != '\0' && *p != '"') {
                const char* q = OsCharNext(p);
                arg.append(p, static_cast<size_t>(q - p));
                p = q;
            }
            if (*p != '\0')
                p = OsCharNext(p);
        } else {
            const char* q = OsCharNext(p);
            arg.append(p, static_cast<size_t>(q - p));
            p = q;
        }
    }
    return p;
}

}  // namespace

int ArgumentCountOf(const std::string& commandLine) {
    std::string arg;
    const char* p = NextArgument(commandLine.c_str(), arg);
    int count = 0;
    for (;;) {
        p = NextArgument(p, arg);
        if (arg.empty())
            return count;
        ++count;
    }
}

std::string ArgumentTextOf(const std::string& commandLine, int index) {
    std::string arg;
    const char* p = commandLine.c_str();
    for (int i = 0; i <= index; ++i) {
        p = NextArgument(p, arg);
        if (arg.empty())
            return std::string();
    }
    return arg;
}
