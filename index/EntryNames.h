// Which entry names a header may carry. A header can come from anywhere, and
// its names are joined to the output directory: a name that would leave it,
// or that addresses a device or an alternate stream, is refused.
#pragma once

#include <string>

// True for a relative name of plain components that stays below the
// directory it is joined to.
bool IsSafeEntryName(const std::string& name);
