// Which entry names a header may carry. A header can come from anywhere, and
// its names are joined to the output directory: a name that would leave it,
// or that addresses a device or an alternate stream, is refused.
#pragma once

#include <string>

// True for a relative name of plain components that stays below the
// directory it is joined to.
bool IsSafeEntryName(const std::string& name);

// The same for a join on a POSIX system, which restores what is safe there:
// plain components (none empty, "." or ".."), no slash, no NUL or control
// character. Names that only Windows refuses (CON, "a:b", a trailing dot)
// are restored as they are.
bool IsSafePosixEntryName(const std::string& name);
