#include "PathOps.h"

namespace {

// The characters that separate in this style, for LastDelimiterPos.
const char* Separators(TPathStyle style) {
    return style == TPathStyle::Posix ? "/\\" : "\\";
}

}  // namespace

bool IsSeparator(char c, TPathStyle style) {
    return c == '\\' || (style == TPathStyle::Posix && c == '/');
}

bool IsAbsolutePath(const std::string& path, TPathStyle style) {
    if (style == TPathStyle::Posix)
        return !path.empty() && path[0] == '/';
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\')
        return true;
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

std::string StripTrailingBackslashes(const std::string& path, TPathStyle style) {
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1], style))
        --end;
    if (end == 0 && style == TPathStyle::Posix && !path.empty() && path[0] == '/')
        return "/";
    return path.substr(0, end);
}

std::string AddTrailingBackslash(const std::string& path, TPathStyle style) {
    if (path.empty() || IsSeparator(path.back(), style))
        return path;
    return path + '\\';
}

std::string UniformSeparators(const std::string& path, TPathStyle style) {
    return style == TPathStyle::Posix ? WithSlashes(path) : path;
}

size_t LastDelimiterPos(const std::string& delimiters, const std::string& text) {
    for (size_t i = text.size(); i > 0; --i) {
        if (delimiters.find(text[i - 1]) != std::string::npos)
            return i;
    }
    return 0;
}

std::string ParentPath(const std::string& path, TPathStyle style) {
    const std::string stripped = StripTrailingBackslashes(path, style);
    const size_t pos = LastDelimiterPos(Separators(style), stripped);
    if (pos == 0)
        return stripped;
    // The parent of "/home" is the root itself.
    if (pos == 1 && style == TPathStyle::Posix && stripped[0] == '/')
        return "/";
    return stripped.substr(0, pos - 1);
}

std::string FileNamePart(const std::string& path, TPathStyle style) {
    return path.substr(LastDelimiterPos(Separators(style), path));
}

std::string RemoveExtension(const std::string& path, TPathStyle style) {
    const size_t pos = LastDelimiterPos(std::string(".") + Separators(style), path);
    if (pos != 0 && path[pos - 1] == '.')
        return path.substr(0, pos - 1);
    return path;
}
