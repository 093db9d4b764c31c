// The one way file contents are moved: a thin owner of an open file of the
// system that turns every system failure into EExceptionLite with the
// system's text.
#pragma once

#include "platform/FileSystem.h"
#include "platform/SystemCopy.h"

#include <cstdint>
#include <memory>
#include <string>

// The program's only exception class; deliberately outside any library
// hierarchy so that the job loops can tell it apart from everything else.
class EExceptionLite {
public:
    explicit EExceptionLite(std::string messageText, std::string path = std::string())
        : MessageText(std::move(messageText)), Path(std::move(path)) {}
    std::string MessageText;
    // The file that the failure is about, where the raiser knows it; the
    // message text need not name it (a system text never does).
    std::string Path;
};

// The system's message for one of its error numbers, line break included;
// empty for 0 and for numbers the system has no text for.
std::string SystemErrorText(uint32_t code);
[[noreturn]] void RaiseOsError(const TOsError& error, const std::string& path = std::string());

class TFileStreamLite {
public:
    // Replaces the file for writing with no sharing, or opens an existing one
    // for reading, shared with other readers only. Both raise when the file
    // cannot be had.
    TFileStreamLite(const std::string& fileName, TOpenMode mode);
    virtual ~TFileStreamLite();
    TFileStreamLite(const TFileStreamLite&) = delete;
    TFileStreamLite& operator=(const TFileStreamLite&) = delete;

    static std::unique_ptr<TFileStreamLite> CreateForWriting(const std::string& fileName);
    static std::unique_ptr<TFileStreamLite> OpenForReading(const std::string& fileName);
    // An existing file for writing, its bytes kept until they are written over.
    static std::unique_ptr<TFileStreamLite> OpenForWriting(const std::string& fileName);
    // Creates the file for writing only when nothing of that name exists;
    // none when something does, so that the caller can ask before it
    // replaces a file. Other failures raise.
    static std::unique_ptr<TFileStreamLite> CreateIfAbsent(const std::string& fileName);
    // The process's standard input or output; raises when it has none.
    static std::unique_ptr<TFileStreamLite> Standard(TStandardStream which);

    // One kernel call each; a short count is returned, not raised.
    uint32_t Read(void* buffer, uint32_t count);
    uint32_t Write(const void* buffer, uint32_t count);
    // Copies up to count bytes into to, inside the system where it can (see
    // OsCopyInSystem), showing them to see; done is what was copied. False,
    // with nothing copied, where the system leaves the copy to the caller;
    // a failure raises.
    bool CopyInSystem(TFileStreamLite& to, uint64_t count, char* buffer, uint32_t bufferSize,
                      const TBytesSeen& see, uint64_t& done);
    // Origin 0 from the beginning, 1 from the current position, 2 from the end.
    virtual int64_t Seek(int64_t offset, uint8_t origin);
    int64_t GetSize();
    void SetLastWriteTime(const TFileTime& time);
    // Closes the file and raises when the system reports that it failed; the
    // destructor closes a file left open and says nothing, for the paths
    // that already end in an error.
    void Close();
    // The whole of data, in slices within the 32-bit count of a write; a
    // short write raises shortText.
    void WriteAll(const char* data, size_t size, const char* shortText);
    // Up to count bytes, in slices within the 32-bit count of a read; fewer
    // only at the file's end.
    size_t ReadAll(void* into, size_t count);

    TOsHandle Handle = InvalidOsHandle;
    // The name it was opened by, for the errors it raises; "-" for a
    // standard stream.
    const std::string Path;

private:
    TFileStreamLite(TOsHandle handle, std::string path) : Handle(handle), Path(std::move(path)) {}
};
