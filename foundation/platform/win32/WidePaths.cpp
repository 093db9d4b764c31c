#include "WidePaths.h"

namespace {

// CreateDirectory leaves room for an 8.3 name below the directory, so its
// limit is MAX_PATH - 12; a path from this length on takes the long form.
constexpr size_t LongPathFrom = MAX_PATH - 12;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

}  // namespace

bool CodePageToWide(UINT codePage, const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return false;
    wide.resize(static_cast<size_t>(needed));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, &wide[0], needed) == needed;
}

// Exact or nothing: UTF-8 refuses lone surrogates; any other code page
// refuses best-fit look-alikes and the default character, and the result
// must read back as the very same characters.
bool WideToCodePage(UINT codePage, const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty())
        return true;
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const LPBOOL usedDefaultFlag = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultFlag);
    if (needed <= 0 || usedDefault)
        return false;
    text.resize(static_cast<size_t>(needed));
    if (WideCharToMultiByte(codePage, flags, wide.data(), length, &text[0], needed, nullptr, usedDefaultFlag) !=
            needed ||
        usedDefault)
        return false;
    std::wstring back;
    return CodePageToWide(codePage, text, back) && back == wide;
}

bool ProcessTextToWide(const std::string& text, std::wstring& wide) {
    return CodePageToWide(CP_ACP, text, wide);
}

bool WideToProcessText(const std::wstring& wide, std::string& text) {
    return WideToCodePage(GetACP(), wide, text);
}

std::string NameInProcessText(const std::wstring& name) {
    std::string text;
    if (WideToProcessText(name, text))
        return text;
    // UTF-8 lacks only lone surrogates; other code pages put their
    // default character, set to '?', where a character is missing.
    std::wstring marked = name;
    for (size_t i = 0; i < marked.size(); ++i) {
        const wchar_t c = marked[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool lowNext = i + 1 < marked.size() && marked[i + 1] >= 0xDC00 && marked[i + 1] <= 0xDFFF;
        if (high && lowNext)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            marked[i] = L'?';
    }
    const UINT codePage = GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const int length = static_cast<int>(marked.size());
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* defaultChar = utf8 ? nullptr : "?";
    const int needed = WideCharToMultiByte(codePage, flags, marked.data(), length, nullptr, 0, defaultChar, nullptr);
    if (needed <= 0)
        return "?";
    text.assign(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, flags, marked.data(), length, &text[0], needed, defaultChar, nullptr);
    if (text.find('?') == std::string::npos)
        text += '?';
    return text;
}

bool FullWidePath(const std::wstring& path, std::wstring& full) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::wstring buffer(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, &buffer[0], nullptr);
    if (length == 0 || length >= needed)
        return false;
    buffer.resize(length);
    full = buffer;
    return true;
}

std::wstring WidePath(const std::string& path) {
    std::wstring wide;
    if (!ProcessTextToWide(path, wide))
        return std::wstring();
    // A "\\?\" path is taken literally by the system, and by this layer.
    if (wide.size() < LongPathFrom || StartsWith(wide, L"\\\\?\\"))
        return wide;
    // The long form is taken literally too: the path is made absolute and
    // its '.' and '..' resolved first, as the system would have done.
    std::wstring full;
    if (!FullWidePath(wide, full))
        return wide;
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\"))
        return full;
    if (StartsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
