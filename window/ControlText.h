// Reading a control's text the way the window does: into a buffer of a
// fixed number of characters, the terminating zero included. The limit
// counts characters, not bytes: in UTF-8 a character takes up to four.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Wide text in the process code page, as the 8-bit calls would hand it out.
inline std::string ProcessText(const wchar_t* text, int length) {
    if (length <= 0)
        return std::string();
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], needed, nullptr, nullptr);
    return out;
}

inline std::string ControlText(HWND control, int bufferSize) {
    std::vector<wchar_t> buffer(static_cast<size_t>(bufferSize), L'\0');
    const int length = GetWindowTextW(control, buffer.data(), bufferSize);
    return ProcessText(buffer.data(), length);
}
