// The path operations that ask the file system. Paths are in the style of
// the system the program runs on.
#pragma once

#include "foundation/platform/FileSystem.h"

#include <string>

// The path checks' names of the kinds of entry.
constexpr TEntryKind pkNotFound = TEntryKind::None;
constexpr TEntryKind pkFile = TEntryKind::File;
constexpr TEntryKind pkDirectory = TEntryKind::Directory;
constexpr TEntryKind pkRoot = TEntryKind::Root;

// Not found, a file (anything that is not a directory), a directory, or a
// drive, share or file-system root. On Windows a path that holds '/' is not
// found: the program has never read a slash as a separator there.
TEntryKind PathKind(const std::string& path);
// The absolute form of an existing file or directory; anything else is
// returned unchanged.
std::string ExpandPath(const std::string& path);
