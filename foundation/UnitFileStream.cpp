#include "UnitFileStream.h"

std::string SystemErrorText(uint32_t code) {
    if (code == 0)
        return std::string();
    return OsFormatMessage(code);
}

void RaiseLastError(uint32_t code) {
    throw EExceptionLite(SystemErrorText(code));
}

TFileStreamLite::TFileStreamLite(const std::string& fileName, TOpenMode mode) {
    Handle = OsCreateFile(fileName, mode);
    if (Handle == InvalidOsHandle)
        RaiseLastError(OsGetLastError());
}

TFileStreamLite::~TFileStreamLite() {
    if (Handle != InvalidOsHandle)
        OsCloseHandle(Handle);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::CreateForWriting(const std::string& fileName) {
    return std::make_unique<TFileStreamLite>(fileName, TOpenMode::CreateForWriting);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::OpenForReading(const std::string& fileName) {
    return std::make_unique<TFileStreamLite>(fileName, TOpenMode::OpenForReading);
}

std::unique_ptr<TFileStreamLite> TFileStreamLite::CreateIfAbsent(const std::string& fileName) {
    const TOsHandle handle = OsCreateFile(fileName, TOpenMode::CreateNew);
    if (handle != InvalidOsHandle)
        return std::unique_ptr<TFileStreamLite>(new TFileStreamLite(handle));
    const uint32_t error = OsGetLastError();
    if (error == ErrorFileExists || error == ErrorAlreadyExists)
        return nullptr;
    RaiseLastError(error);
}

uint32_t TFileStreamLite::Read(void* buffer, uint32_t count) {
    uint32_t done = 0;
    if (!OsReadFile(Handle, buffer, count, done))
        RaiseLastError(OsGetLastError());
    return done;
}

uint32_t TFileStreamLite::Write(const void* buffer, uint32_t count) {
    uint32_t done = 0;
    if (!OsWriteFile(Handle, buffer, count, done))
        RaiseLastError(OsGetLastError());
    return done;
}

int64_t TFileStreamLite::Seek(int64_t offset, uint8_t origin) {
    // The last-error code alone decides: a position whose low half is all
    // ones looks like the failure return value but is a valid position.
    OsSetLastError(0);
    int32_t high = static_cast<int32_t>(static_cast<uint64_t>(offset) >> 32);
    const uint32_t low = OsSetFilePointer(Handle, static_cast<int32_t>(static_cast<uint32_t>(offset)), &high, origin);
    const uint32_t error = OsGetLastError();
    if (error != 0)
        RaiseLastError(error);
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | low);
}

int64_t TFileStreamLite::GetSize() {
    const int64_t position = Seek(0, 1);
    const int64_t size = Seek(0, 2);
    Seek(position, 0);
    return size;
}

void TFileStreamLite::SetLastWriteTime(const TFileTime& time) {
    if (!OsSetLastWriteTime(Handle, time))
        RaiseLastError(OsGetLastError());
}
