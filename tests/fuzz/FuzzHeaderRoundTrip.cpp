// A generated list, its header text cut into pieces as header files would
// hold it, read back the way a join reads it: the same list.
#include "FuzzInput.h"
#include "index/HeaderNames.h"
#include "index/UnitFileInfo.h"

#include <vector>

namespace {

// Names as a scan produces them: not empty, no TAB, no trailing backslash,
// and with a stored form (the scan refuses any other).
std::string EntryName(TFuzzInput& in) {
    std::string name = in.Text(40);
    for (char& c : name) {
        if (c == '\t' || c == '\0')
            c = '_';
    }
    while (!name.empty() && name.back() == '\\')
        name.pop_back();
    std::string stored;
    return name.empty() || !EncodeHeaderName(name, stored) ? std::string("n") : name;
}

// Milliseconds from 1601 up to the end of 9999.
constexpr uint64_t LastMillisecond = 265046774399999ull;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput in(data, size);
    TFileInfos list;
    const int count = in.Byte() % 20;
    for (int i = 0; i < count && !in.Empty(); ++i) {
        TFileInfo* entry = list.Add();
        entry->Name = EntryName(in);
        entry->Kind = (in.Byte() & 1) ? fkFile : fkDirectory;
        entry->Size = static_cast<int64_t>(in.Number(8) & 0x7FFFFFFFFFFFFFFFull);
        entry->LastWriteTime = MakeFileTime((in.Number(6) % (LastMillisecond + 1)) * 10000);
    }
    const std::string text = list.BuildHeader();

    std::vector<size_t> cuts;
    while (!in.Empty())
        cuts.push_back(in.Number(2) % (text.size() + 1));
    cuts.push_back(text.size());

    std::string read;
    size_t from = 0;
    for (size_t cut : cuts) {
        if (cut < from)
            continue;
        read += text.substr(from, cut - from);
        from = cut;
        if (TFileInfos::IsCompleteHeader(read))
            break;
    }
    FUZZ_CHECK(read == text);

    TFileInfos parsed;
    FUZZ_CHECK(parsed.ParseHeader(read));
    FUZZ_CHECK(parsed.Count() == list.Count());
    for (int32_t i = 0; i < list.Count(); ++i) {
        FUZZ_CHECK(parsed.GetItem(i)->Name == list.GetItem(i)->Name);
        FUZZ_CHECK(parsed.GetItem(i)->Kind == list.GetItem(i)->Kind);
        FUZZ_CHECK(parsed.GetItem(i)->Size == list.GetItem(i)->Size);
        FUZZ_CHECK(FileTimeValue(parsed.GetItem(i)->LastWriteTime) == FileTimeValue(list.GetItem(i)->LastWriteTime));
    }
    return 0;
}
