// The form in which the platform layer hands a path to the wide file
// functions: short paths as given, long ones absolute behind "\\?\", which
// the system then takes literally (Wine does not need it; Windows does).
#include "foundation/platform/win32/WidePaths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(const std::wstring& wide) {
    return std::string(wide.begin(), wide.end());
}

}  // namespace

TEST(WidePath, LongPathsTakeTheLongFormAfterNormalising) {
    const std::string segment(60, 's');
    const std::string deep = segment + "\\" + segment + "\\" + segment + "\\" + segment + "\\" + segment;
    struct TRow {
        const char* Label;
        std::string Path;
        std::string Expected;
    };
    const TRow rows[] = {
        {"short absolute path as given", "C:\\dir\\file.txt", "C:\\dir\\file.txt"},
        {"short relative path as given", "dir\\file.txt", "dir\\file.txt"},
        {"long drive path", "C:\\" + deep, "\\\\?\\C:\\" + deep},
        {"long path with dot and dot-dot resolved first", "C:\\x\\.\\y\\..\\" + deep, "\\\\?\\C:\\x\\" + deep},
        {"long path with slashes turned into backslashes", "C:/" + deep, "\\\\?\\C:\\" + deep},
        {"long share path", "\\\\server\\share\\" + deep, "\\\\?\\UNC\\server\\share\\" + deep},
        {"long form already: taken literally", "\\\\?\\C:\\x\\..\\" + deep, "\\\\?\\C:\\x\\..\\" + deep},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        EXPECT_EQ(row.Expected, Narrow(WidePath(row.Path)));
    }
}

TEST(WidePath, LongRelativePathResolvesAgainstTheCurrentDirectory) {
    wchar_t current[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
    std::wstring base = current;
    if (base.back() != L'\\')
        base += L'\\';
    const std::string relative = std::string(120, 'r') + "\\" + std::string(140, 'q');
    const std::wstring expected = L"\\\\?\\" + base + std::wstring(relative.begin(), relative.end());
    EXPECT_EQ(Narrow(expected), Narrow(WidePath(relative)));
}
