// A program that opens windows under Wine runs on a desktop of its own. A
// Wine desktop takes its display driver from the process that opened it
// first, and the shared one may have been opened by a process without a
// display; a process also keeps the driver of the desktop it started on. So
// the program starts itself again, on a new desktop, and passes on the exit
// code.
#pragma once

// Starts this program's own command line again on a new desktop, with
// variable set to the desktop's name so that the second run knows it is
// there; the exit code of that run, or 2 when it could not start. who names
// the program in messages and in the desktop's name.
int RunOnOwnDesktop(const char* variable, const char* who);
