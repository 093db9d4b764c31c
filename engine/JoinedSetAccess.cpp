#include "JoinedSetAccess.h"

#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "index/PartNames.h"
#include "index/UnitFileInfo.h"

#include <algorithm>
#include <cstring>

TJoinedSetAccess::TJoinedSetAccess(const std::string& stem, const std::string& outputDir, const TFileInfos& list,
                                   int64_t partSize, std::vector<std::string> headerFiles)
    : Stem(stem), PartSize(partSize), HeaderFiles(std::move(headerFiles)) {
    const std::string dir = AddTrailingBackslash(outputDir, NativePathStyle);
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo* entry = list.GetItem(i);
        if (entry->Kind != fkFile)
            continue;
        Outputs.push_back(TOutput{dir + entry->Name, Total, entry->Size});
        Total += entry->Size;
    }
}

int64_t TJoinedSetAccess::PartStart(const std::string& name, uint64_t& size) const {
    bool header = false;
    const int32_t number = PartNumberOf(name, Stem, header);
    if (number <= 0 || header || PartSize <= 0)
        return -1;
    const int64_t start = (number - 1) * PartSize;
    if (start > Total)
        return -1;
    size = static_cast<uint64_t>(std::min(PartSize, Total - start));
    return start;
}

bool TJoinedSetAccess::Size(const std::string& name, uint64_t& size) {
    bool header = false;
    const int32_t number = PartNumberOf(name, Stem, header);
    if (header && number >= 1 && static_cast<size_t>(number) <= HeaderFiles.size()) {
        size = HeaderFiles[static_cast<size_t>(number - 1)].size();
        return true;
    }
    return PartStart(name, size) >= 0;
}

size_t TJoinedSetAccess::Move(int64_t position, char* into, const char* from, size_t count) {
    size_t done = 0;
    for (const TOutput& output : Outputs) {
        if (done == count)
            break;
        const int64_t at = position + static_cast<int64_t>(done);
        if (at < output.Start || at >= output.Start + output.Size)
            continue;
        const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count - done),
                                                               output.Start + output.Size - at));
        std::unique_ptr<TFileStreamLite> file = into ? TFileStreamLite::OpenForReading(output.Path)
                                                     : TFileStreamLite::OpenForWriting(output.Path);
        file->Seek(at - output.Start, static_cast<uint8_t>(TSeekOrigin::Begin));
        if (into) {
            for (size_t got = 0; got < n;) {
                const uint32_t k = file->Read(into + done + got, static_cast<uint32_t>(n - got));
                if (k == 0)
                    return done + got;
                got += k;
            }
        } else {
            file->WriteAll(from + done, n, WriteErrorText);
            file->Close();
        }
        done += n;
    }
    return done;
}

size_t TJoinedSetAccess::Read(const std::string& name, uint64_t offset, void* into, size_t count) {
    bool header = false;
    const int32_t number = PartNumberOf(name, Stem, header);
    if (header) {
        if (number < 1 || static_cast<size_t>(number) > HeaderFiles.size())
            return 0;
        const std::string& bytes = HeaderFiles[static_cast<size_t>(number - 1)];
        if (offset >= bytes.size())
            return 0;
        const size_t n = std::min<size_t>(count, bytes.size() - static_cast<size_t>(offset));
        std::memcpy(into, bytes.data() + offset, n);
        return n;
    }
    uint64_t size = 0;
    const int64_t start = PartStart(name, size);
    if (start < 0 || offset >= size)
        return 0;
    return Move(start + static_cast<int64_t>(offset), static_cast<char*>(into), nullptr,
                static_cast<size_t>(std::min<uint64_t>(count, size - offset)));
}

void TJoinedSetAccess::Write(const std::string& name, uint64_t offset, const char* data, size_t count) {
    uint64_t size = 0;
    const int64_t start = PartStart(name, size);
    // Header files are read before anything else: none is lost here.
    if (start < 0 || offset >= size)
        return;
    Move(start + static_cast<int64_t>(offset), nullptr, data, static_cast<size_t>(std::min<uint64_t>(count, size - offset)));
}
