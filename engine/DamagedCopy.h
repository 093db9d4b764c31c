// Where a repair keeps a damaged file of a set before the rebuilt one takes
// its place.
#pragma once

#include <string>

// Copies the file at path to the first free name of NAME.damaged,
// NAME.damaged2, NAME.damaged3, ... beside it and returns that name (without
// its directory). An earlier repair's copy is never written over. A failure
// raises EExceptionLite with the system's text and the name it was about.
std::string KeepDamagedCopy(const std::string& path);
