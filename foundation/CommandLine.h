// Splitting a command-line text into arguments the way the program has
// always read them: separators are codes 1-32, double quotes switch quoting
// and vanish, there is no escape character.
#pragma once

#include <string>

// Arguments after the first (the program's path), up to the first empty one.
int ArgumentCountOf(const std::string& commandLine);
// Argument i of the text, counting the program's path as 0; empty when the
// list ends first.
std::string ArgumentTextOf(const std::string& commandLine, int index);

// The same for the running process: ArgumentText(0) is the program file's
// full path as the system reports it, not as it was typed.
int ArgumentCount();
std::string ArgumentText(int index);
