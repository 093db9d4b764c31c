// The native program's command line: what it asks for, and one run of it
// with the texts it writes. The program file only hands over its arguments
// and streams, so that tests can run the same code in their own process.
#pragma once

#include "NativeArguments.h"

#include "engine/UnitFendrix.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

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
// 0 for --help and --version, 12 for a command line that cannot be read, 9
// where standard output does not take what is written to it.
int RunNativeCommandLine(const std::vector<std::string>& args, TNativeStreams& streams);
