// The part-set index: the ordered list of the files and directories that one
// job moves, the scan that builds it and the header text that records it.
#pragma once

#include "PathOps.h"
#include "PathQuery.h"
#include "foundation/platform/TextServices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TEntryInfo;
class TFileInfos;

// The kinds of entry that a set lists.
constexpr TEntryKind fkFile = TEntryKind::File;
constexpr TEntryKind fkDirectory = TEntryKind::Directory;

// The magic that opens every header text.
extern const char* const HeaderMagic;

// Which names a set may hold. Windows: only names that a join on Windows
// restores, and no two that meet when letter case is ignored (the Windows
// program's rule). Posix: names that a join on a POSIX system restores; a
// name that only a Windows join would refuse, or two names that differ only
// in letter case, are stored with a warning. Both refuse a backslash in a
// name, which the header uses between components.
enum class TNameRules : uint8_t { Windows, Posix };

struct TScanPolicy {
    TNameRules Rules = TNameRules::Windows;
    // Told, in a catalogue text, of every entry that the scan leaves out
    // (devices, FIFOs, sockets) or stores with a warning; may be empty.
    std::function<void(const std::string& text)> Notice;
};

class TFileInfo {
public:
    explicit TFileInfo(TFileInfos* owner) : Owner(owner) {}

    // Fills the entry from a full path and what the file system says of it;
    // the name is cut to the part behind the owner's base directory.
    void AssignEntry(const std::string& path, TEntryKind kind, const TEntryInfo& info);
    // Name TAB kind TAB size TAB time, without a TAB before or after.
    std::string FormatEntry() const;
    // Takes one entry (four TAB-terminated fields) from the front of text and
    // removes it; true when every number in it was valid.
    bool ParseEntry(std::string& text);

    TFileInfos* Owner;
    std::string Name;
    int64_t Size = 0;
    TFileTime LastWriteTime;
    TEntryKind Kind = TEntryKind::None;
};

class TFileInfos {
public:
    TFileInfos() = default;
    ~TFileInfos();
    TFileInfos(const TFileInfos&) = delete;
    TFileInfos& operator=(const TFileInfos&) = delete;

    // Appends a file, a directory tree or a root; true when the total size
    // then exceeds limit (a tree far too large is not scanned to its end).
    // A name that no set can store raises EExceptionLite, naming it; memory
    // that runs out raises std::bad_alloc. Either leaves the list empty.
    bool ScanPath(const std::string& path, int64_t limit);
    // Replaces the list by the one file that the numbered parts next to
    // partPath hold; false when there is no set of at least two parts.
    // Memory that runs out raises std::bad_alloc, the list left empty.
    bool ScanNumberedParts(const std::string& partPath);

    TFileInfo* Add();
    int32_t Count() const;
    TFileInfo* GetItem(int32_t index) const;
    int32_t NextFileIndex(int32_t start) const;
    int64_t TotalSize() const;

    std::string BuildHeader() const;
    int64_t HeaderSize() const;
    static bool IsCompleteHeader(const std::string& text);
    // False for a text that is no valid header; memory that runs out
    // raises std::bad_alloc.
    bool ParseHeader(const std::string& text);

    void Clear();

    std::string BaseDir;
    TScanPolicy Policy;
    std::vector<std::unique_ptr<TFileInfo>> Items;
};
