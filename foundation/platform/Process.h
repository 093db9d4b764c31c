// What the program asks of its own process and of the user's settings.
#pragma once

#include <string>

std::string OsGetCommandLine();
// Full path of the running program file, in the process code page.
std::string OsGetModuleFileName();
// The user default locale's abbreviated language name (ENU, ITA, ...); empty
// when the query fails.
std::string OsGetLocaleLanguageName();
