#include "PathQuery.h"

#include "PathOps.h"
#include "foundation/UnitImport.h"
#include "foundation/platform/FileSystem.h"

TEntryKind PathKind(const std::string& path) {
    const std::string stripped = StripTrailingBackslashes(path, NativePathStyle);
    if (NativePathStyle == TPathStyle::Windows && stripped.find('/') != std::string::npos)
        return pkNotFound;
    TEntryInfo info;
    if (!OsQueryPath(stripped, info))
        return pkNotFound;
    if (info.Kind != TEntryKind::Directory)
        return pkFile;
    return PathRoot(path, NativePathStyle) == stripped ? pkRoot : pkDirectory;
}

std::string ExpandPath(const std::string& path) {
    const TEntryKind kind = PathKind(path);
    if (kind != pkFile && kind != pkDirectory)
        return path;
    std::string full;
    return OsFullPath(path, full) ? full : path;
}
