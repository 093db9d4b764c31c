#include "ParityRepair.h"

#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/XorBlock.h"
#include "index/PartNames.h"
#include "index/PathOps.h"
#include "index/PathQuery.h"

#include <set>

bool TParityRepair::Load(const std::string& dir, const std::string& stem) {
    IsLoaded = false;
    Target = -1;
    Bytes.clear();
    ParityName = stem + "par";
    LastFailure = TParityFailure::Absent;
    const std::string path = AddTrailingBackslash(dir, NativePathStyle) + ParityName;
    if (stem.empty() || PathKind(path) != pkFile)
        return false;
    // Until it has passed every check below, the file is no parity file of
    // this set.
    LastFailure = TParityFailure::Damaged;
    const auto file = TFileStreamLite::OpenForReading(path);
    // Anything longer than the largest block and its text is no parity file
    // of ours; it is not read into memory.
    const int64_t size = file->GetSize();
    if (size > ParityLargestPart + static_cast<int64_t>(ParityLargestText))
        return false;
    Bytes.resize(static_cast<size_t>(size));
    Bytes.resize(file->ReadAll(Bytes.data(), Bytes.size()));
    if (!Checksums.Matches(stem + "par", Crc32(0, Bytes.data(), Bytes.size())) ||
        !ParseParity(Bytes, Description, BlockOffset))
        return false;
    // Every name is a part of this set, once: the files a rebuild reads and
    // the verify run may write stay the set's own.
    std::set<std::string> seen;
    for (const TParityVolume& volume : Description.Volumes) {
        for (const TParityFile& part : volume.Files) {
            bool header = false;
            if (PartNumberOf(part.Name, stem, header) == 0 || !seen.insert(UpperText(part.Name)).second)
                return false;
        }
    }
    IsLoaded = true;
    LastFailure = TParityFailure::None;
    return true;
}

std::string TParityRepair::FailureNote(const std::string& lostFile) const {
    switch (LastFailure) {
    case TParityFailure::None:
        // One volume is rebuilt already: a file of another is a second loss.
        if (Target >= 0 && VolumeOf(lostFile) != Target)
            return LangText(msgParityBeyondRepair, {ParityName, lostFile});
        break;
    case TParityFailure::Absent:
        // Only a set that was made with a parity file misses it.
        if (Checksums.Lists(ParityName))
            return LangText(msgParityMissingNoRebuild, {ParityName, lostFile});
        break;
    case TParityFailure::Damaged: return LangText(msgParityDamagedNoRebuild, {ParityName, lostFile});
    case TParityFailure::BeyondRepair: return LangText(msgParityBeyondRepair, {ParityName, lostFile});
    }
    return std::string();
}

int32_t TParityRepair::VolumeOf(const std::string& fileName) const {
    const std::string wanted = UpperText(fileName);
    for (size_t v = 0; v < Description.Volumes.size(); ++v) {
        for (const TParityFile& part : Description.Volumes[v].Files) {
            if (UpperText(part.Name) == wanted)
                return static_cast<int32_t>(v);
        }
    }
    return -1;
}

bool TParityRepair::XorFile(const std::string& path, int64_t offset, int64_t limit, int64_t& read, uint32_t& crc) {
    read = 0;
    crc = 0;
    if (PathKind(path) != pkFile)
        return false;
    const auto file = TFileStreamLite::OpenForReading(path);
    char* block = &Bytes[BlockOffset];
    for (;;) {
        // One byte beyond the limit tells a file that is too long.
        const int64_t room = limit + 1 - read;
        if (room <= 0)
            return true;
        const uint32_t got = file->Read(Buffer.data(), static_cast<uint32_t>(Min64(CopyBufferSize, room)));
        if (got == 0)
            return true;
        const uint32_t inBlock = static_cast<uint32_t>(Min64(got, limit - read));
        XorInto(block + offset + read, Buffer.data(), inBlock);
        crc = Crc32(crc, Buffer.data(), got);
        read += got;
    }
}

bool TParityRepair::AddFile(const std::string& dir, const TParityFile& part, int64_t offset) {
    const std::string path = AddTrailingBackslash(dir, NativePathStyle) + part.Name;
    int64_t read = 0;
    uint32_t crc = 0;
    const bool opened = XorFile(path, offset, part.Size, read, crc);
    if (opened && read == part.Size && Checksums.Matches(part.Name, crc))
        return true;
    if (read > 0) {
        int64_t again = 0;
        XorFile(path, offset, Min64(read, part.Size), again, crc);
    }
    return false;
}

bool TParityRepair::Rebuild(const std::string& dir, int32_t target) {
    if (!IsLoaded || Target >= 0 || target >= static_cast<int32_t>(Description.Volumes.size()))
        return false;
    Buffer.resize(CopyBufferSize);
    // The block is changed in place: a failed rebuild leaves it spoilt, and
    // the parity file is no longer counted as loaded. What fails from here
    // on is a set that lost more than the block can give back.
    IsLoaded = false;
    LastFailure = TParityFailure::BeyondRepair;
    for (size_t v = 0; v < Description.Volumes.size(); ++v) {
        if (static_cast<int32_t>(v) == target)
            continue;
        int64_t offset = 0;
        bool good = true;
        for (const TParityFile& part : Description.Volumes[v].Files) {
            if (good && !AddFile(dir, part, offset)) {
                good = false;
                // What this volume's earlier files added comes out again.
                int64_t back = 0;
                for (const TParityFile& earlier : Description.Volumes[v].Files) {
                    if (&earlier == &part)
                        break;
                    int64_t read = 0;
                    uint32_t crc = 0;
                    XorFile(AddTrailingBackslash(dir, NativePathStyle) + earlier.Name, back, earlier.Size, read,
                            crc);
                    back += earlier.Size;
                }
            }
            offset += part.Size;
        }
        if (good)
            continue;
        // A second lost volume: beyond what one parity block can rebuild.
        if (target >= 0)
            return false;
        target = static_cast<int32_t>(v);
    }
    if (target < 0)
        return false;
    // The block now holds the lost volume, zeros after its end; each of its
    // files must match what the sfv file records.
    Target = target;
    const TParityVolume& lost = Description.Volumes[static_cast<size_t>(target)];
    int64_t offset = 0;
    for (const TParityFile& part : lost.Files) {
        if (!Checksums.Matches(part.Name, Crc32(0, &Bytes[BlockOffset + offset], static_cast<size_t>(part.Size)))) {
            Target = -1;
            return false;
        }
        offset += part.Size;
    }
    for (int64_t i = offset; i < Description.PartSize; ++i) {
        if (Bytes[BlockOffset + static_cast<size_t>(i)] != 0) {
            Target = -1;
            return false;
        }
    }
    LastFailure = TParityFailure::None;
    return true;
}

bool TParityRepair::Rebuilt(const std::string& fileName, const char*& data, int64_t& size) const {
    if (Target < 0)
        return false;
    const std::string wanted = UpperText(fileName);
    int64_t offset = 0;
    for (const TParityFile& part : Description.Volumes[static_cast<size_t>(Target)].Files) {
        if (UpperText(part.Name) == wanted) {
            data = &Bytes[BlockOffset + static_cast<size_t>(offset)];
            size = part.Size;
            return true;
        }
        offset += part.Size;
    }
    return false;
}
