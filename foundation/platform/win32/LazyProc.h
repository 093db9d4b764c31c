// A function of a system library that is loaded on first use. Libraries
// such as comdlg32 and shell32 pull in a dozen more when the program starts,
// which a silent job, never showing a dialog, would pay for every time.
#pragma once

#include <windows.h>

template <typename TFunction>
TFunction LazyProc(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library);
    if (!module)
        return nullptr;
    return reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
