// Reading a control's text the way the window does: into a buffer of a
// fixed number of characters, the terminating zero included.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::string ControlText(HWND control, int bufferSize) {
    std::vector<char> buffer(static_cast<size_t>(bufferSize), '\0');
    const int length = GetWindowTextA(control, buffer.data(), bufferSize);
    return std::string(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}
