#include "PathOps.h"

std::string StripTrailingBackslashes(const std::string& path) {
    size_t end = path.size();
    while (end > 0 && path[end - 1] == '\\')
        --end;
    return path.substr(0, end);
}

std::string AddTrailingBackslash(const std::string& path) {
    if (path.empty() || path.back() == '\\')
        return path;
    return path + '\\';
}

size_t LastDelimiterPos(const std::string& delimiters, const std::string& text) {
    for (size_t i = text.size(); i > 0; --i) {
        if (delimiters.find(text[i - 1]) != std::string::npos)
            return i;
    }
    return 0;
}

std::string ParentPath(const std::string& path) {
    const std::string stripped = StripTrailingBackslashes(path);
    const size_t pos = LastDelimiterPos("\\", stripped);
    if (pos == 0)
        return stripped;
    return stripped.substr(0, pos - 1);
}

std::string FileNamePart(const std::string& path) {
    return path.substr(LastDelimiterPos("\\", path));
}

std::string RemoveExtension(const std::string& path) {
    const size_t pos = LastDelimiterPos(".\\", path);
    if (pos != 0 && path[pos - 1] == '.')
        return path.substr(0, pos - 1);
    return path;
}
