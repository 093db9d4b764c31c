// The native program's command line as getopt_long reads one: a verb, then
// options and operands in any order, long options as --opt=value or
// --opt value (or any unambiguous prefix), short ones bundled (-qs 1M), and
// "--" ending the options.
#pragma once

#include "engine/UnitFendrix.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TNativeAction { Run, List, Help, Version, Usage };

struct TNativeCommand {
    TNativeAction Action = TNativeAction::Usage;
    // A silent job: split, join (Unsplit), verify, or the header read of a
    // listing.
    TFendrixStartParams Params;
    bool Quiet = false;
    // For Usage: what is wrong, in program text (empty when no verb came),
    // and the verb whose usage lines follow it (empty for all of them).
    std::string Fault;
    std::string Verb;
};

// Bytes for a --size value: a number of bytes, a number followed by K, M or
// G, or floppy, cd or dvd; 0 (refused as an invalid size) for anything else.
int64_t ParseNativeSize(const std::string& text);

// The arguments after the program's own path, in the system's bytes.
TNativeCommand ParseNativeArguments(const std::vector<std::string>& args);

// The usage lines of one verb, or of all of them for an empty verb, from
// the help text.
std::string UsageLines(const std::string& verb);
