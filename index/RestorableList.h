// Whether a join may restore what a header lists. A header can come from
// anywhere: every entry's name must stay below the output directory, name one
// path only once (letter case ignored, as the file system does), and every
// file must have a size the copy can count down; anything else is not a
// header we wrote. On a POSIX system (TNameRules::Posix) the names are the
// ones safe there, and letter case tells names apart. The join refuses such a
// list before it creates anything, and the verify run refuses it as well.
#pragma once

#include "UnitFileInfo.h"

// The first entry that cannot be restored safely; none when all can.
const TFileInfo* FirstUnsafeEntry(const TFileInfos& list, TNameRules rules);

// An entry's name as a message may show it: a header's control characters
// would reach the terminal or the message box as they are.
std::string ShownEntryName(const std::string& name);
