#include "../Process.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

// The arguments as one command line that the program's own splitting reads
// back: each in double quotes, which it drops again.
std::string OsGetCommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    while (start < raw.size()) {
        const size_t end = raw.find('\0', start);
        const std::string arg = raw.substr(start, end == std::string::npos ? std::string::npos : end - start);
        line += (line.empty() ? "\"" : " \"") + arg + "\"";
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return line;
}

std::string OsGetModuleFileName() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

// LC_ALL, then LC_MESSAGES, then LANG: "it_IT.UTF-8" gives "IT"; the C and
// POSIX locales are English.
std::string OsGetLocaleLanguageName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        const std::string locale = value;
        if (locale == "C" || locale.compare(0, 2, "C.") == 0 || locale == "POSIX")
            return "EN";
        std::string code;
        for (char c : locale.substr(0, locale.find_first_of("_.@"))) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
            code += c;
        }
        return code;
    }
    return "EN";
}
