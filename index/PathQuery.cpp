// The two path operations that ask the file system.
#include "PathOps.h"

#include "foundation/UnitImport.h"
#include "foundation/platform/FileSystem.h"

int PathKind(const std::string& path) {
    const std::string stripped = StripTrailingBackslashes(path);
    if (stripped.find('/') != std::string::npos)
        return pkNotFound;
    const uint32_t attributes = OsGetFileAttributes(stripped);
    if (attributes == InvalidFileAttributes)
        return pkNotFound;
    if ((attributes & FileAttributeDirectory) == 0)
        return pkFile;
    return PathRoot(path) == stripped ? pkRoot : pkDirectory;
}

std::string ExpandPath(const std::string& path) {
    const int kind = PathKind(path);
    if (kind != pkFile && kind != pkDirectory)
        return path;
    std::string result = path;
    const uint32_t needed = OsGetFullPathName(path, 0, nullptr);
    if (needed == 0)
        return result;
    char* buffer = AllocBuffer(needed);
    if (!buffer)
        return result;
    const uint32_t length = OsGetFullPathName(path, needed, buffer);
    if (length != 0 && length < needed)
        result.assign(buffer, length);
    FreeBuffer(buffer);
    return result;
}
