#include "UnitFileStream.h"

std::string SystemErrorText(uint32_t code) {
    return OsErrorText(code);
}

void RaiseOsError(const TOsError& error, const std::string& path) {
    throw EExceptionLite(error.Text, path);
}

TFileStreamLite::TFileStreamLite(const std::string& fileName, TOpenMode mode) : Path(fileName) {
    TOsError error;
    Handle = OsOpenFile(fileName, mode, error);
    if (Handle == InvalidOsHandle)
        RaiseOsError(error, Path);
}

TFileStreamLite::~TFileStreamLite() {
    if (Handle != InvalidOsHandle)
        OsRelease(Handle);
}

void TFileStreamLite::Close() {
    if (Handle == InvalidOsHandle)
        return;
    const TOsHandle handle = Handle;
    Handle = InvalidOsHandle;
    TOsError error;
    if (!OsClose(handle, error))
        RaiseOsError(error, Path);
}

void TFileStreamLite::WriteAll(const char* data, size_t size, const char* shortText) {
    while (size > 0) {
        const uint32_t chunk = static_cast<uint32_t>(size < (size_t(1) << 30) ? size : (size_t(1) << 30));
        if (Write(data, chunk) != chunk)
            throw EExceptionLite(shortText, Path);
        data += chunk;
        size -= chunk;
    }
}

size_t TFileStreamLite::ReadAll(void* into, size_t count) {
    size_t done = 0;
    while (done < count) {
        const size_t left = count - done;
        const uint32_t got = Read(static_cast<char*>(into) + done,
                                  static_cast<uint32_t>(left < (size_t(1) << 30) ? left : (size_t(1) << 30)));
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::CreateForWriting(const std::string& fileName) {
    return std::make_unique<TFileStreamLite>(fileName, TOpenMode::CreateForWriting);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::OpenForReading(const std::string& fileName) {
    return std::make_unique<TFileStreamLite>(fileName, TOpenMode::OpenForReading);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::OpenForWriting(const std::string& fileName) {
    return std::make_unique<TFileStreamLite>(fileName, TOpenMode::OpenForWriting);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::CreateIfAbsent(const std::string& fileName) {
    TOsError error;
    const TOsHandle handle = OsOpenFile(fileName, TOpenMode::CreateNew, error);
    if (handle != InvalidOsHandle)
        return std::unique_ptr<TFileStreamLite>(new TFileStreamLite(handle, fileName));
    if (error.Kind == TOsErrorKind::Exists)
        return nullptr;
    RaiseOsError(error, fileName);
}

uint32_t TFileStreamLite::Read(void* buffer, uint32_t count) {
    uint32_t done = 0;
    TOsError error;
    if (!OsRead(Handle, buffer, count, done, error))
        RaiseOsError(error, Path);
    return done;
}

uint32_t TFileStreamLite::Write(const void* buffer, uint32_t count) {
    uint32_t done = 0;
    TOsError error;
    if (!OsWrite(Handle, buffer, count, done, error))
        RaiseOsError(error, Path);
    return done;
}

bool TFileStreamLite::CopyInSystem(TFileStreamLite& to, uint64_t count, char* buffer, uint32_t bufferSize,
                                   const TBytesSeen& see, uint64_t& done) {
    TOsError error;
    TCopyFailure failed = TCopyFailure::EitherFile;
    if (OsCopyInSystem(Handle, to.Handle, count, buffer, bufferSize, see, done, error, failed))
        return true;
    if (error.Kind != TOsErrorKind::None)
        RaiseOsError(error, failed == TCopyFailure::Source        ? Path
                            : failed == TCopyFailure::Destination ? to.Path
                                                                  : std::string());
    return false;
}

int64_t TFileStreamLite::Seek(int64_t offset, uint8_t origin) {
    int64_t position = 0;
    TOsError error;
    if (!OsSeek(Handle, offset, static_cast<TSeekOrigin>(origin), position, error))
        RaiseOsError(error, Path);
    return position;
}

int64_t TFileStreamLite::GetSize() {
    int64_t size = 0;
    TOsError error;
    if (!OsFileSize(Handle, size, error))
        RaiseOsError(error, Path);
    return size;
}

void TFileStreamLite::SetLastWriteTime(const TFileTime& time) {
    TOsError error;
    if (!OsSetLastWriteTime(Handle, time, error))
        RaiseOsError(error, Path);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::Standard(TStandardStream which) {
    TOsError error;
    const TOsHandle handle = OsStandardStream(which, error);
    if (handle == InvalidOsHandle)
        RaiseOsError(error, "-");
    return std::unique_ptr<TFileStreamLite>(new TFileStreamLite(handle, "-"));
}
