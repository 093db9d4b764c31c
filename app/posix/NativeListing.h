// What `fendrix list` prints: one line per entry of a set's header, then
// one line on the set itself.
#pragma once

#include "engine/UnitFendrix.h"

#include <ostream>
#include <string>

// A time as UTC in ISO 8601 with milliseconds: 2026-12-08T01:02:03.456Z.
std::string IsoUtcTime(const TFileTime& time);

// A name of the header for one line of a terminal: '/' between components,
// a control character or backslash as a C escape (\n, \t, \x1b, \\).
std::string ListedName(const std::string& headerName);

void WriteListing(const TFileInfos& list, const TSetListing& listing, std::ostream& out);
