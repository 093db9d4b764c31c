// Any text given to the header parser: no crash, and a header that parses
// builds a text that parses back to the same list.
#include "FuzzInput.h"
#include "index/UnitFileInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TFileInfos list;
    const bool valid = list.ParseHeader(text);
    (void)TFileInfos::IsCompleteHeader(text);

    std::string rest = text;
    TFileInfos owner;
    TFileInfo entry(&owner);
    (void)entry.ParseEntry(rest);
    FUZZ_CHECK(rest.size() <= text.size());

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
