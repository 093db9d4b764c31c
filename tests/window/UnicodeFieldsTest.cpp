// The window runs in UTF-8 as the program does (this test program carries
// the program's resources, manifest included): a path in any script reaches
// the fields whether it comes from the command line, the keyboard or a drop,
// and a split started from the window finds it.
#include "WindowFixture.h"

#include "foundation/UnitLanguage.h"
#include "support/TestFiles.h"

#include <shlobj.h>

#include <cstring>

namespace {

using TUnicodeFields = TWindowTest;

std::wstring WideOf(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

// A drop of one path as a shell that works in UTF-16 hands it over.
HDROP MakeWideDropHandle(const std::string& utf8Path) {
    const std::wstring path = WideOf(utf8Path);
    const size_t size = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
    block->pFiles = sizeof(DROPFILES);
    block->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

enum class TEntry { CommandLine, Typed, Dropped };

}  // namespace

TEST_F(TUnicodeFields, AnyScriptReachesTheSourceFieldAndTheSplit) {
    ASSERT_EQ(65001u, GetACP()) << "the manifest's UTF-8 code page is not in effect";
    TScratchDir dir("wuni");
    const std::string folder = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC \xD0\xA0\xD1\x83\xD1\x81 "
                               "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80";
    MakeDirectory(dir / folder);
    struct TRow {
        const char* Label;
        TEntry How;
        std::string Name;
        std::string SubDir;
    };
    const TRow rows[] = {
        {"given on the command line", TEntry::CommandLine, "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.bin", ""},
        {"typed", TEntry::Typed, "caf\xC3\xA9 \xCE\xB1.bin", ""},
        {"dropped", TEntry::Dropped, "\xF0\x9F\x93\xA6 \xD0\x96.bin", ""},
        // Some 200 characters of mostly three bytes each: the field counts
        // characters. (A Linux name holds at most 255 bytes: two of them.)
        {"a path of 600 bytes in UTF-8 but 200 characters", TEntry::CommandLine,
         Repeated("\xE6\x97\xA5", 70) + ".bin", Repeated("\xE6\x9C\xAC", 70)},
    };
    int number = 0;
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        const std::string parent = dir / (row.SubDir.empty() ? folder : folder + "\\" + row.SubDir);
        if (!row.SubDir.empty())
            MakeDirectory(parent);
        const std::string source = parent + "\\" + row.Name;
        if (!row.SubDir.empty()) {
            ASSERT_GT(source.size(), 3u * MAX_PATH / 2);
            ASSERT_LT(WideOf(source).size(), static_cast<size_t>(MAX_PATH));
        }
        const std::string output = dir / ("out\xE2\x80\x94" + std::to_string(++number));
        WriteFileBytes(source, "unicode data");
        MakeDirectory(output);

        if (row.How == TEntry::CommandLine) {
            StartWindow({source, output});
        } else {
            StartWindow({"", output});
            if (row.How == TEntry::Typed) {
                SetFocus(Frm->EditSource);
                for (wchar_t c : WideOf(source)) {
                    PostMessageW(Frm->EditSource, WM_CHAR, c, 1);
                    Pump();
                }
            } else {
                PostMessageA(Frm->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDropHandle(source)), 0);
                Pump();
            }
        }
        EXPECT_EQ(source, Text(Frm->EditSource));

        Click(Frm->BtnSplit);
        std::string texts;
        for (const TMessageBoxRequest& box : Boxes)
            texts += box.Text + " | ";
        ASSERT_EQ(2u, Boxes.size()) << texts;
        EXPECT_EQ(mbIconInformation | mbOk, Boxes.back().Style) << Boxes.back().Text;
        EXPECT_TRUE(FileExists(output + "\\" + row.Name + ".001"));
        EXPECT_TRUE(FileExists(output + "\\" + row.Name + ".h001"));
        Boxes.clear();
        TearDown();
        SetUp();
    }
}

// The Italian texts are kept in code page 1252; the window hands them to
// the system in its own code page, UTF-8 here.
TEST_F(TUnicodeFields, ItalianTextsAreInTheProcessCodePage) {
    const std::string saved = LanguageCode;
    LanguageCode = "IT";
    struct TRow {
        int Message;
        const char* Utf8Expected;
    };
    const TRow rows[] = {
        {12, "Il file \"#\" esiste gi\xC3\xA0. Sovrascrivo comunque?"},
        {13, "Il file \"#\" \xC3\xA8 mancante!"},
        {msgNameNotRepresentable, "\"#\" non pu\xC3\xB2 essere diviso: il sistema non sa scrivere il suo nome per "
                                  "questo programma."},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        EXPECT_EQ(row.Utf8Expected, LangText(row.Message));
    }
    LanguageCode = saved;
}
