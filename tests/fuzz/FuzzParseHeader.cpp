// Any text given to the header parser: no crash, a header that parses is a
// complete one with valid kinds, one entry read from the front takes whole
// fields and reads back the same, and a header that parses builds a text
// that parses back to the same list.
#include "FuzzInput.h"
#include "index/UnitFileInfo.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TFileInfos list;
    const bool valid = list.ParseHeader(text);
    // Parsing stops only at the closing TAB behind a TAB, after the magic:
    // a text that parses is one that the join would take as complete.
    FUZZ_CHECK(!valid || TFileInfos::IsCompleteHeader(text));
    for (int32_t i = 0; valid && i < list.Count(); ++i) {
        const TEntryKind kind = list.GetItem(i)->Kind;
        FUZZ_CHECK(kind == fkFile || kind == fkDirectory);
    }

    // One entry from the front: what it takes is a prefix of the text made of
    // whole TAB-terminated fields, four of them when the entry is valid, and
    // the entry written out again reads back the same.
    std::string rest = text;
    TFileInfos owner;
    TFileInfo entry(&owner);
    const bool entryValid = entry.ParseEntry(rest);
    FUZZ_CHECK(rest.size() <= text.size());
    FUZZ_CHECK(text.compare(text.size() - rest.size(), rest.size(), rest) == 0);
    const std::string taken = text.substr(0, text.size() - rest.size());
    const auto tabs = std::count(taken.begin(), taken.end(), '\t');
    FUZZ_CHECK(taken.empty() || taken.back() == '\t');
    FUZZ_CHECK(tabs <= 4);
    if (entryValid) {
        FUZZ_CHECK(tabs == 4);
        FUZZ_CHECK(entry.Kind == fkFile || entry.Kind == fkDirectory);
        std::string again = entry.FormatEntry() + "\t";
        TFileInfo reread(&owner);
        FUZZ_CHECK(reread.ParseEntry(again));
        FUZZ_CHECK(again.empty());
        FUZZ_CHECK(reread.Name == entry.Name);
        FUZZ_CHECK(reread.Kind == entry.Kind);
        FUZZ_CHECK(reread.Size == entry.Size);
        FUZZ_CHECK(FileTimeValue(reread.LastWriteTime) == FileTimeValue(entry.LastWriteTime));
    }

    if (!valid)
        return 0;
    const std::string rebuilt = list.BuildHeader();
    FUZZ_CHECK(TFileInfos::IsCompleteHeader(rebuilt));
    TFileInfos again;
    FUZZ_CHECK(again.ParseHeader(rebuilt));
    FUZZ_CHECK(again.Count() == list.Count());
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo* a = list.GetItem(i);
        const TFileInfo* b = again.GetItem(i);
        FUZZ_CHECK(a->Name == b->Name);
        FUZZ_CHECK(a->Kind == b->Kind);
        FUZZ_CHECK(a->Size == b->Size);
        FUZZ_CHECK(FileTimeValue(a->LastWriteTime) == FileTimeValue(b->LastWriteTime));
    }
    FUZZ_CHECK(again.BuildHeader() == rebuilt);
    return 0;
}
