// The Win32 layer's side of names: the program's text is in the process code
// page, the file system's in UTF-16. Every file operation goes through the
// wide functions, which alone reach paths longer than MAX_PATH.
#pragma once

#include <windows.h>

#include <string>

// Exact conversions between a code page and UTF-16, or false.
bool CodePageToWide(UINT codePage, const std::string& text, std::wstring& wide);
bool WideToCodePage(UINT codePage, const std::wstring& wide, std::string& text);

bool ProcessTextToWide(const std::string& text, std::wstring& wide);
bool WideToProcessText(const std::wstring& wide, std::string& text);
// A name as the file system spells it, in the process code page; every
// character that has no exact form there becomes '?'.
std::string NameInProcessText(const std::wstring& name);
// The absolute form of a path (relative parts, '.' and '..' resolved).
bool FullWidePath(const std::wstring& path, std::wstring& full);
// The path for a wide file function: as given while it is short, else in
// its absolute form behind "\\?\" ("\\?\UNC\" for a share), which lifts the
// MAX_PATH limit. Empty where the text is no valid text of the process.
std::wstring WidePath(const std::string& path);
