#include "UnitImport.h"


std::string PathRoot(const std::string& path, TPathStyle style) {
    if (style == TPathStyle::Posix)
        return !path.empty() && path[0] == '/' ? "/" : "";
    const size_t length = path.size();
    if (length >= 2 && path[1] == ':')
        return path.substr(0, 2);
    if (length >= 2 && path[0] == '\\' && path[1] == '\\') {
        // 1-based position as in the share rule: stop on the backslash that
        // follows the share name, or at the end of the text.
        size_t pos = 3;
        int seen = 0;
        while (pos < length && seen < 2) {
            if (path[pos - 1] == '\\')
                ++seen;
            if (seen < 2)
                ++pos;
        }
        if (pos <= length && path[pos - 1] == '\\')
            --pos;
        return path.substr(0, pos < length ? pos : length);
    }
    return std::string();
}
