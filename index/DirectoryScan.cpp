// Building the list from the file system: the scan of a split's source and
// the one-file list of a set of numbered parts joined without a header.
#include "UnitFileInfo.h"

#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"

namespace {

// Closes an enumeration handle however the scan leaves its directory.
class TFindHandle {
public:
    explicit TFindHandle(TOsHandle handle) : Handle(handle) {}
    ~TFindHandle() {
        if (Handle != InvalidOsHandle)
            OsFindClose(Handle);
    }
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;
    bool IsOpen() const { return Handle != InvalidOsHandle; }
    TOsHandle Handle;
};

int64_t FindDataSize(const TFindData& data) {
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

// Keeps the list's total as entries are appended, so that the limit test
// after each directory does not sum the whole list again.
struct TScan {
    TFileInfos& List;
    int64_t Limit;
    uint64_t Total;

    void Append(const std::string& path, uint8_t kind, const TFindData& data) {
        TFileInfo* entry = List.Add();
        entry->AssignFindData(path, kind, data);
        Total += static_cast<uint64_t>(entry->Size);
    }

    bool OverLimit() const { return static_cast<int64_t>(Total) > Limit; }

    void ScanDirectory(const std::string& dir) {
        TFindData data;
        TFindHandle find(OsFindFirstFile(AddTrailingBackslash(dir) + "*.*", data));
        if (!find.IsOpen())
            return;
        do {
            const std::string path = dir + "\\" + data.cFileName;
            if ((data.dwFileAttributes & FileAttributeDirectory) == 0) {
                Append(path, fkFile, data);
                continue;
            }
            if (!data.cFileName.empty() && data.cFileName[0] == '.')
                continue;
            Append(path, fkDirectory, data);
            if (OverLimit())
                return;
            // A junction or directory link is recorded but not followed: it
            // can point at its own parent, and what it points at is stored
            // once already or belongs to another tree.
            if ((data.dwFileAttributes & FileAttributeReparsePoint) == 0)
                ScanDirectory(path);
        } while (OsFindNextFile(find.Handle, data));
    }
};

}  // namespace

void TFileInfo::AssignFindData(const std::string& path, uint8_t kind, const TFindData& findData) {
    Name = StripTrailingBackslashes(path);
    const size_t baseLength = AddTrailingBackslash(Owner->BaseDir).size();
    Name.erase(0, baseLength);
    Kind = kind;
    Size = FindDataSize(findData);
    LastWriteTime = findData.ftLastWriteTime;
}

bool TFileInfos::ScanPath(const std::string& path, int64_t limit) {
    try {
        const std::string p = StripTrailingBackslashes(path);
        TFindData self;
        {
            TFindHandle find(OsFindFirstFile(p, self));
        }
        TScan scan{*this, limit, static_cast<uint64_t>(TotalSize())};
        switch (PathKind(p)) {
        case pkFile:
            BaseDir = ParentPath(p);
            scan.Append(p, fkFile, self);
            break;
        case pkDirectory:
            BaseDir = ParentPath(p);
            scan.Append(p, fkDirectory, self);
            scan.ScanDirectory(p);
            break;
        case pkRoot:
            BaseDir = p;
            scan.ScanDirectory(p);
            break;
        default:
            break;
        }
        return TotalSize() > limit;
    } catch (...) {
        Clear();
        return false;
    }
}

bool TFileInfos::ScanNumberedParts(const std::string& partPath) {
    Clear();
    try {
        // Only a dot of the file name itself ends the common name: a dot in
        // a directory above it would point at unrelated files beside it.
        const size_t cut = LastDelimiterPos(".\\", partPath);
        const bool hasExtension = cut != 0 && partPath[cut - 1] == '.';
        const std::string base = hasExtension ? partPath.substr(0, cut - 1) : partPath;
        if (PathKind(base + ".001") != pkFile || PathKind(base + ".002") != pkFile)
            return false;

        TFileInfo* entry = Add();
        entry->Kind = fkFile;
        entry->Name = FileNamePart(base);
        TFindData data;
        {
            TFindHandle find(OsFindFirstFile(base + ".001", data));
            if (find.IsOpen()) {
                entry->Size = FindDataSize(data);
                entry->LastWriteTime = data.ftLastWriteTime;
            }
        }
        for (int32_t i = 2;; ++i) {
            TFindHandle find(OsFindFirstFile(base + "." + FormatZeroPadded(3, i), data));
            if (!find.IsOpen())
                break;
            entry->Size += FindDataSize(data);
        }
        return true;
    } catch (...) {
        Clear();
        return false;
    }
}
