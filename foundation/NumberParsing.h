// Reading signed 64-bit integers from text, as the command line, the size
// field of the window and the header text need it.
#pragma once

#include <cstdint>
#include <string>

// Leading spaces, an optional sign, then decimal digits or a hexadecimal
// number after "$", "x", "X", "0x" or "0X"; the whole text must be used.
// Returns the value; errorPos is 0 on success, else the 1-based position at
// which reading stopped (the value is then not to be trusted).
int64_t ParseInt64(const std::string& text, int& errorPos);
