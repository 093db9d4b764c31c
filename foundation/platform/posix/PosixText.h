// Text helpers that the POSIX implementation's files share; not part of the
// platform's interface.
#pragma once

#include <string>

// The key by which Windows orders the names of a directory (NTFS keeps its
// index so, and the Windows program lists in that order): the name
// upper-cased as Windows does it, as UTF-16 code units.
std::u16string OsNameOrderKey(const std::string& text);
