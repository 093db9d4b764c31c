// A failure of the operating system as the program reports it: a kind that
// portable code can act on, and the system's own text, taken at the moment of
// the failure, which is what the user reads.
#pragma once

#include <cstdint>
#include <string>

enum class TOsErrorKind { None, NotFound, AccessDenied, Exists, SharingViolation, DiskFull, Other };

struct TOsError {
    TOsErrorKind Kind = TOsErrorKind::None;
    // The system's own number: a Win32 error code, or an errno value.
    uint32_t Code = 0;
    std::string Text;
};

// The error of this system's number, with its kind and text.
TOsError OsErrorFromCode(uint32_t code);
// The system's text for one of its numbers, as the system words it (the
// Win32 texts end with a line break); empty for 0 and for unknown numbers.
std::string OsErrorText(uint32_t code);
