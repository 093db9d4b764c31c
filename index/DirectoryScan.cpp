// Building the list from the file system: the scan of a split's source and
// the one-file list of a set of numbered parts joined without a header.
#include "UnitFileInfo.h"

#include "HeaderNames.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "index/EntryNames.h"

#include <map>
#include <set>

namespace {

// A directory that cannot be listed would leave its contents out of the set
// without a word; the split must end before it writes anything instead.
[[noreturn]] void RaiseUnlisted(const TOsError& error, const std::string& dir) {
    std::string text = error.Text;
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    throw EExceptionLite(text + "\"" + dir + "\"");
}

// A name the program cannot spell would fail later, after parts were
// written, or be stored as a different name: a Windows that has no
// character for it hands out '?', which no Windows name holds, and a POSIX
// name that is no valid UTF-8 has no stored form. The split ends before it
// writes anything.
void RefuseUnrepresentable(const std::string& dir, const std::string& name) {
    const bool questionMark = NativePathStyle == TPathStyle::Windows && name.find('?') != std::string::npos;
    if (questionMark || !HasStoredForm(name))
        throw EExceptionLite(LangText(msgNameNotRepresentable, {AddTrailingBackslash(dir, NativePathStyle) + name}));
}

// A name that has no program text would be stored as other bytes than the
// file's: refused, naming what the system says is wrong with it, before
// anything is written.
void RefuseFaultyName(const std::string& path, const TEntryInfo& info) {
    if (info.NameFault == TNameFault::None)
        return;
    const std::string shown = ParentPath(path, NativePathStyle) + "\\" + OsDisplayTextOfSystemName(info.Name);
    throw EExceptionLite(LangText(msgNameNotUtf8, {shown}));
}

// Keeps the list's total as entries are appended, so that the limit test
// after each directory does not sum the whole list again.
struct TScan {
    TFileInfos& List;
    int64_t Limit;
    uint64_t Total;
    // Every directory entered, by identity: a link leads into a directory
    // once, and a loop of links ends where it comes round again.
    std::set<TDirectoryIdentity> Entered;
    // The names stored so far, upper-cased, with the path each came from.
    std::map<std::string, std::string> Stored;

    // What the set stores, its join must be able to restore: a name that
    // the join refuses, or one that meets another when letter case is
    // ignored, would cost the whole set or one of the two files.
    void Append(const std::string& path, TEntryKind kind, const TEntryInfo& info) {
        RefuseFaultyName(path, info);
        TFileInfo* entry = List.Add();
        entry->AssignEntry(path, kind, info);
        const bool warnOnly = List.Policy.Rules == TNameRules::Posix;
        if (warnOnly && !IsSafePosixEntryName(entry->Name))
            throw EExceptionLite(LangText(msgNameUnsafeEverywhere, {path}));
        if (!IsSafeEntryName(entry->Name)) {
            if (!warnOnly)
                throw EExceptionLite(LangText(msgNameRefusedByJoin, {path}));
            Notify(LangText(msgWindowsJoinRefusesName, {path}));
        }
        const auto stored = Stored.emplace(UpperText(entry->Name), path);
        if (!stored.second) {
            if (!warnOnly)
                throw EExceptionLite(LangText(msgNamesDifferInCase, {stored.first->second, path}));
            Notify(LangText(msgNamesDifferInCaseWarning, {stored.first->second, path}));
        }
        Total += static_cast<uint64_t>(entry->Size);
    }

    void Notify(const std::string& text) const {
        if (List.Policy.Notice)
            List.Policy.Notice(text);
    }

    bool OverLimit() const { return static_cast<int64_t>(Total) > Limit; }

    // False for a directory met before, which stays an empty directory.
    bool FirstVisit(const std::string& dir) {
        TDirectoryIdentity identity;
        TOsError error;
        // A bare drive ("S:") names the drive's current directory; its root
        // is what the scan lists.
        const std::string opened = PathRoot(dir, NativePathStyle) == dir ? AddTrailingBackslash(dir, NativePathStyle) : dir;
        if (!OsDirectoryIdentity(opened, identity, error))
            RaiseUnlisted(error, dir);
        return Entered.insert(identity).second;
    }

    void ScanDirectory(const std::string& dir) {
        if (!FirstVisit(dir))
            return;
        TDirectoryReader reader(dir);
        if (!reader.IsOpen())
            RaiseUnlisted(reader.Error, dir);
        TEntryInfo info;
        while (reader.Next(info)) {
            // The header separates components with the backslash: a POSIX
            // name holding one would come back as a different path.
            if (NativePathStyle == TPathStyle::Posix && info.Name.find('\\') != std::string::npos)
                throw EExceptionLite(LangText(msgNameNotStorable, {dir + "/" + info.Name}));
            const std::string path = dir + "\\" + info.Name;
            RefuseFaultyName(path, info);
            RefuseUnrepresentable(dir, info.Name);
            if (info.Kind == TEntryKind::File) {
                Append(path, fkFile, info);
                continue;
            }
            // Devices, FIFOs and sockets hold no file to store, and reading
            // one could wait for ever: left out, and named.
            if (info.Kind != TEntryKind::Directory) {
                Notify(LangText(msgNotAFileLeftOut, {path}));
                continue;
            }
            if (!info.Name.empty() && info.Name[0] == '.')
                continue;
            Append(path, fkDirectory, info);
            if (OverLimit())
                return;
            // Junctions, directory links and mount points are entered too:
            // the user sees their contents as part of the tree.
            ScanDirectory(path);
        }
        if (reader.Error.Kind != TOsErrorKind::None)
            RaiseUnlisted(reader.Error, dir);
    }
};

}  // namespace

void TFileInfo::AssignEntry(const std::string& path, TEntryKind kind, const TEntryInfo& info) {
    Name = StripTrailingBackslashes(path, NativePathStyle);
    const size_t baseLength = AddTrailingBackslash(Owner->BaseDir, NativePathStyle).size();
    Name.erase(0, baseLength);
    Kind = kind;
    Size = info.Size;
    LastWriteTime = info.LastWriteTime;
}

bool TFileInfos::ScanPath(const std::string& path, int64_t limit) {
    try {
        const std::string p = StripTrailingBackslashes(path, NativePathStyle);
        TEntryInfo self;
        OsQueryPath(p, self);
        TScan scan{*this, limit, static_cast<uint64_t>(TotalSize()), {}, {}};
        switch (PathKind(p)) {
        case pkFile:
            BaseDir = ParentPath(p, NativePathStyle);
            scan.Append(p, fkFile, self);
            break;
        case pkDirectory:
            BaseDir = ParentPath(p, NativePathStyle);
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
        // A half list is no list; and what failed (a name refused, memory
        // run out) is the caller's to report: taken for an empty source it
        // would read as a source that is not there.
        Clear();
        throw;
    }
}

bool TFileInfos::ScanNumberedParts(const std::string& partPath) {
    Clear();
    try {
        // Only a dot of the file name itself ends the common name: a dot in
        // a directory above it would point at unrelated files beside it.
        const size_t cut = LastDelimiterPos(NativePathStyle == TPathStyle::Posix ? "./\\" : ".\\", partPath);
        const bool hasExtension = cut != 0 && partPath[cut - 1] == '.';
        const std::string base = hasExtension ? partPath.substr(0, cut - 1) : partPath;
        if (PathKind(base + ".001") != pkFile || PathKind(base + ".002") != pkFile)
            return false;

        TFileInfo* entry = Add();
        entry->Kind = fkFile;
        entry->Name = FileNamePart(base, NativePathStyle);
        TEntryInfo info;
        if (OsQueryPath(base + ".001", info)) {
            entry->Size = info.Size;
            entry->LastWriteTime = info.LastWriteTime;
        }
        for (int32_t i = 2; OsQueryPath(base + "." + FormatZeroPadded(3, i), info); ++i)
            entry->Size += info.Size;
        return true;
    } catch (...) {
        // Out of memory is no missing part: the caller hears of it.
        Clear();
        throw;
    }
}
