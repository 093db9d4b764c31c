// The native program's command line: what it asks for, and one run of it
// with the texts it writes. The program file only hands over its arguments
// and streams, so that tests can run the same code in their own process.
#pragma once

#include "engine/UnitFendrix.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

enum class TNativeAction { Run, Help, Version, Usage };

struct TNativeCommand {
    TNativeAction Action = TNativeAction::Usage;
    // A silent job: split, join (Unsplit) or verify.
    TFendrixStartParams Params;
    bool Quiet = false;
    // For Usage: the argument that could not be read (empty when none came).
    std::string BadArgument;
};

// Bytes for a --size value: a number of bytes, a number followed by K, M or
// G, or floppy, cd or dvd; 0 (refused as an invalid size) for anything else.
int64_t ParseNativeSize(const std::string& text);

// The arguments after the program's own path.
TNativeCommand ParseNativeArguments(const std::vector<std::string>& args);

// A catalogue or system text as one line for the terminal: UTF-8, slashes
// between path components, line breaks as spaces.
std::string TerminalLine(const std::string& programText);

struct TNativeStreams {
    std::ostream& Out;
    std::ostream& Err;
    // The progress line is drawn only on a terminal.
    bool ErrIsTerminal = false;
    // Where Fendrix.exe lies for --copy: the native program's directory.
    std::string ProgramDir;
};

// Runs the command line and returns the exit code: the job's result code,
// 0 for --help and --version, 12 for a command line that cannot be read.
int RunNativeCommandLine(const std::vector<std::string>& args, TNativeStreams& streams);
