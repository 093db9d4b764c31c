// Starting the real program as a process and waiting for its exit code.
#pragma once

#include <string>
#include <vector>

// Path of Fendrix.exe, from the --fendrix= argument of the test binary.
const std::string& FendrixExe();
void SetFendrixExe(const std::string& path);

// Runs a command line (the program path is put in front, quoted) in the
// given working directory and returns the exit code; -1 when the process
// could not be started or did not end within the timeout.
int RunProgram(const std::string& program, const std::string& arguments, const std::string& workDir = "",
               unsigned timeoutMs = 60000);
int RunFendrix(const std::string& arguments, const std::string& workDir = "");
// Quotes one argument for the command line.
std::string Quoted(const std::string& arg);
