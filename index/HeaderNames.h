// How a header spells an entry's name. Sets have always stored names in the
// legacy code page (the system's default ANSI code page); a name that fits it
// still is, so such a set is byte for byte what older releases wrote. In any
// other name, the UTF-8 mark EF BB BF opens the first component that does
// not fit, and the name goes on in UTF-8 from there (a name whose first
// component does not fit is the mark and the whole name in UTF-8). An older
// reader takes the mark for three odd letters and makes harmless files of
// strange names instead of failing.
#pragma once

#include <string>

// The bytes that open a name stored in UTF-8.
extern const char* const Utf8NameMark;

// The stored form of a name in the program's text; false when the name has
// no exact form in either encoding (it is not valid text of the process).
bool EncodeHeaderName(const std::string& name, std::string& stored);
// True where EncodeHeaderName would succeed; a plain ASCII name is not
// copied to find out.
bool HasStoredForm(const std::string& name);
// The same, appended to out (the header text grows by it without a copy of
// its own); out is unchanged on false.
bool AppendHeaderName(std::string& out, const std::string& name);
// The name in the program's text; false for invalid UTF-8 after the mark,
// nothing after it, or a name the process code page cannot hold.
bool DecodeHeaderName(const std::string& stored, std::string& name);
// The same for length bytes of a header text from data on.
bool DecodeHeaderName(const char* data, size_t length, std::string& name);
// True when every byte of stored is strict UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsStrictUtf8(const std::string& text);
