#include "VolumeWriter.h"

#include "UnitFendrix.h"

#include "foundation/checksum/XorBlock.h"

#include <cstring>
#include <exception>

namespace {

// A fault of the caller's, which the job reports as an unexpected error.
class EVolumeOutOfTurn : public std::exception {
public:
    const char* what() const noexcept override { return "volume started out of turn"; }
};

}  // namespace

TVolumeWriter::TVolumeWriter(bool checksums, int64_t paritySize)
    : KeepChecksums(checksums), ParitySize(paritySize), Buffer(CopyBufferSize) {
    if (ParitySize > 0) {
        // Left unset: the first volume is copied in (see PadFirstVolume).
        Parity.reset(new char[static_cast<size_t>(ParitySize)]);
        Description.PartSize = ParitySize;
    }
}

void TVolumeWriter::StartVolume(int64_t size) {
    // A volume larger than its slot would write past the block's end, and
    // a file open across two volumes would be recorded in one of them only.
    if ((Parity && size > ParitySize) || File)
        throw EVolumeOutOfTurn();
    if (Parity && Description.Volumes.size() == 1)
        PadFirstVolume();
    VolumeSize = size;
    Position = 0;
    if (Parity)
        Description.Volumes.emplace_back();
}

void TVolumeWriter::PadFirstVolume() {
    if (FirstVolumePadded)
        return;
    FirstVolumePadded = true;
    std::memset(Parity.get() + Position, 0, static_cast<size_t>(ParitySize - Position));
}

void TVolumeWriter::FinishParity() {
    if (Parity && Description.Volumes.size() == 1)
        PadFirstVolume();
}

void TVolumeWriter::Open(std::unique_ptr<TFileStreamLite> file, const std::string& name, int64_t filled) {
    Close();
    File = std::move(file);
    FileName = name;
    FileBytes = filled;
    Position += filled;
    FileCrc = TCrc32();
    SystemCopy = true;
}

void TVolumeWriter::Close() {
    if (!File)
        return;
    WriteGathered();
    // Given up before the close, which may raise: a file that failed to
    // close is not closed again.
    const std::unique_ptr<TFileStreamLite> file = std::move(File);
    file->Close();
    if (KeepChecksums)
        Lines.push_back(TSfvLine{FileName, FileCrc.Value});
    if (Parity && !Description.Volumes.empty())
        Description.Volumes.back().Files.push_back(TParityFile{FileName, FileBytes});
}

void TVolumeWriter::SetLastWriteTime(const TFileTime& time) {
    WriteGathered();
    File->SetLastWriteTime(time);
}

void TVolumeWriter::Abandon() {
    if (!File)
        return;
    try {
        WriteGathered();
    } catch (const EExceptionLite&) {
    }
    File.reset();
    Gathered = 0;
}

void TVolumeWriter::Took(const char* data, uint32_t count) {
    if (KeepChecksums)
        FileCrc.Add(data, count);
    if (Parity) {
        char* at = Parity.get() + Position;
        if (Description.Volumes.size() == 1)
            std::memcpy(at, data, count);
        else
            XorInto(at, data, count);
    }
    Position += count;
    FileBytes += count;
}

uint32_t TVolumeWriter::Write(const char* data, uint32_t count) {
    WriteGathered();
    const uint32_t n = static_cast<uint32_t>(Min64(count, Room()));
    const uint32_t written = File->Write(data, n);
    // What the checksum covers is what the file holds: the bytes written.
    Took(data, written);
    return written;
}

void TVolumeWriter::WriteGathered() {
    const uint32_t count = Gathered;
    if (count == 0)
        return;
    // Cleared first: bytes that a failed write may have half taken are not
    // offered again.
    Gathered = 0;
    const uint32_t written = File->Write(Buffer.data(), count);
    Took(Buffer.data(), written);
    if (written != count)
        throw EExceptionLite(WriteErrorText, File->Path);
}

int64_t TVolumeWriter::CopyFrom(TFileStreamLite& source, int64_t most, const TBytesSeen& seen) {
    most = Min64(most, Room());
    if (most <= 0)
        return 0;
    if (SystemCopy && !Parity && most >= SystemCopyLeast) {
        WriteGathered();
        TBytesSeen see = seen;
        if (KeepChecksums)
            see = [this, &seen](const char* data, uint32_t count) {
                FileCrc.Add(data, count);
                if (seen)
                    seen(data, count);
            };
        uint64_t done = 0;
        const bool copied = source.CopyInSystem(*File, static_cast<uint64_t>(Min64(most, SystemCopyMost)),
                                                Buffer.data(), CopyBufferSize, see, done);
        if (copied) {
            Position += static_cast<int64_t>(done);
            FileBytes += static_cast<int64_t>(done);
            return static_cast<int64_t>(done);
        }
        SystemCopy = false;
    }
    const uint32_t room = CopyBufferSize - Gathered;
    char* at = Buffer.data() + Gathered;
    const uint32_t n = source.Read(at, static_cast<uint32_t>(Min64(room, most)));
    if (seen && n > 0)
        seen(at, n);
    Gathered += n;
    if (Gathered == CopyBufferSize)
        WriteGathered();
    return n;
}
