// The native program's --help text, in the catalogue's two languages. Only
// that program has the command line it explains: the Windows program keeps
// empty texts in its place and saves their bytes.
#pragma once

extern const char NativeHelpEnglish[];
extern const char NativeHelpItalian[];
