// The file, directory and volume operations that the program asks of the
// operating system, described as operations and not as one system's calls.
// win32/FileSystem.cpp and posix/FileSystem.cpp implement them. A path handed
// in may separate its components with the backslash that the header stores;
// only the implementation turns it into the system's own form.
#pragma once

#include "FileFaults.h"
#include "OsError.h"
#include "PathStyle.h"
#include "TextServices.h"

#include <cstdint>
#include <memory>
#include <string>

// An open file of the system (a Win32 handle, or a descriptor held in the
// pointer's bits); InvalidOsHandle when there is none.
using TOsHandle = void*;
inline TOsHandle const InvalidOsHandle = reinterpret_cast<TOsHandle>(static_cast<intptr_t>(-1));

// CreateForWriting replaces whatever is there; CreateNew makes a file only
// where nothing of that name exists yet; OpenForWriting writes into a file
// that exists, keeping its bytes. Written files are not shared; a file open
// for reading is shared with other readers only.
enum class TOpenMode { CreateForWriting, OpenForReading, CreateNew, OpenForWriting };

enum class TSeekOrigin : uint8_t { Begin = 0, Current = 1, End = 2 };

TOsHandle OsOpenFile(const std::string& path, TOpenMode mode, TOsError& error);
// One system call each; a short count is a success.
bool OsRead(TOsHandle file, void* buffer, uint32_t count, uint32_t& done, TOsError& error);
bool OsWrite(TOsHandle file, const void* buffer, uint32_t count, uint32_t& done, TOsError& error);
bool OsSeek(TOsHandle file, int64_t offset, TSeekOrigin origin, int64_t& position, TOsError& error);
bool OsFileSize(TOsHandle file, int64_t& size, TOsError& error);
bool OsSetLastWriteTime(TOsHandle file, const TFileTime& time, TOsError& error);
// The handle is gone afterwards whatever the result: a failure (a full
// quota, a network file system that writes back only now) means that bytes
// written before may not have reached the file.
bool OsClose(TOsHandle file, TOsError& error);
// Closes a handle whose close nobody checks: a file that was only read, or
// one given up after a failure. The fault hook is not asked.
void OsRelease(TOsHandle file);

// A handle of its own on the process's standard input or output, which the
// caller closes like any other: closing it leaves the process's stream open.
enum class TStandardStream { Input, Output };
TOsHandle OsStandardStream(TStandardStream which, TOsError& error);

// What a name is: the one kind of entry for the file system, the path
// checks and the part set's list. The values 0 to 3 are those that the
// path checks have always given (nothing, a file, a directory, a root);
// Other is a device, FIFO or socket, never read as a file.
enum class TEntryKind : uint8_t { None = 0, File = 1, Directory = 2, Root = 3, Other = 4 };

// What the file system says of one name. A link reports what it points at,
// and IsLink says that it is one (a junction or mount point on Windows).
struct TEntryInfo {
    std::string Name;
    TEntryKind Kind = TEntryKind::None;
    int64_t Size = 0;
    TFileTime LastWriteTime;
    bool IsLink = false;
    // Set where the system's name has no program text (POSIX: not UTF-8, or
    // outside code page 1252); Name then holds the system's bytes.
    TNameFault NameFault = TNameFault::None;
};

// The entry that path names, its Name being the last component as the system
// spells it; false when nothing is there or the system will not say.
bool OsQueryPath(const std::string& path, TEntryInfo& info);
// The absolute form of a path, as the system resolves a relative one.
bool OsFullPath(const std::string& path, std::string& full);

// Which directory a path leads to, whatever links it passes: the volume and
// the directory's number on it.
struct TDirectoryIdentity {
    uint64_t Volume = 0;
    uint64_t Index = 0;
    bool operator<(const TDirectoryIdentity& other) const {
        return Volume != other.Volume ? Volume < other.Volume : Index < other.Index;
    }
};
bool OsDirectoryIdentity(const std::string& dir, TDirectoryIdentity& identity, TOsError& error);

// The entries of one directory, "." and ".." left out, in the system's order.
class TDirectoryReader {
public:
    explicit TDirectoryReader(const std::string& dir);
    ~TDirectoryReader();
    TDirectoryReader(const TDirectoryReader&) = delete;
    TDirectoryReader& operator=(const TDirectoryReader&) = delete;

    // False when the directory could not be listed; Error says why.
    bool IsOpen() const;
    // The next entry; false at the end, and also when the listing broke off,
    // which leaves a kind in Error.
    bool Next(TEntryInfo& entry);

    TOsError Error;

private:
    struct TState;
    std::unique_ptr<TState> State;
};

// The last-write time of a file or directory named by its path.
bool OsSetPathLastWriteTime(const std::string& path, const TFileTime& time, TOsError& error);
// The system's clock now, as a file's time is kept.
TFileTime OsCurrentFileTime();
// Fails with kind Exists where something of that name is there already.
bool OsCreateDirectory(const std::string& path, TOsError& error);
// Removes a file that the job itself made and no longer needs.
bool OsDeleteFile(const std::string& path, TOsError& error);
// Never replaces a file that exists.
bool OsCopyFileNoReplace(const std::string& from, const std::string& to, TOsError& error);

enum class TVolumeKind { Unknown, NoRoot, Removable, Fixed, Remote, CdRom, RamDisk };
// The kind of the drive, share or volume whose root is given.
TVolumeKind OsVolumeKind(const std::string& root);
