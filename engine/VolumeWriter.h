// Writes the files of a job into their volumes. A volume is a run of bytes
// of a known size made of one file or more (a part of a set, or the last
// data part with the first header file; for the join, one output file).
//
// The writer alone keeps where the next byte goes: every byte handed to it
// lands at the position it tracks, in the open file and in the volume,
// whether it came through the gathering buffer, a direct write or a copy
// inside the system, and the file's checksum and the set's parity block see
// it there. No caller counts the room of a volume for itself.
#pragma once

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/checksum/Crc32.h"
#include "index/ParityText.h"
#include "index/SfvText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TVolumeWriter {
public:
    // checksums: keep each file's CRC-32 for the sfv file (a join, which has
    // nothing to record, leaves it off so that the system may copy unseen).
    // paritySize: the size of every volume's slot in the parity block, or 0
    // for a job without one.
    TVolumeWriter(bool checksums, int64_t paritySize);

    // A new volume of size bytes, begun between two files: a file belongs to
    // the volume it was opened in.
    void StartVolume(int64_t size);
    // What the open volume still takes.
    int64_t Room() const { return VolumeSize - Position - Gathered; }
    // Where the next byte lands in the open file.
    int64_t FilePosition() const { return FileBytes + Gathered; }

    // Goes on in file, at the volume's position, once the open file is
    // closed (checked). A file that holds its first filled bytes already (a
    // join that writes an output again from a point) has them counted as
    // written, in the file and in the volume.
    void Open(std::unique_ptr<TFileStreamLite> file, const std::string& name, int64_t filled = 0);
    bool IsOpen() const { return File != nullptr; }
    // Writes what is gathered and closes the open file, raising when the
    // system fails either; its sfv line and its place in the volume are
    // then recorded.
    void Close();
    // For a job that stops: what is gathered is written where it can be and
    // the file closed, nothing raised; the job already has its failure.
    void Abandon();
    // The last-write time of the open file, set once every byte handed
    // over is in it: a later write would move the time on.
    void SetLastWriteTime(const TFileTime& time);

    // Writes up to count bytes (within Room) at once; returns what the file
    // took, as a write does.
    uint32_t Write(const char* data, uint32_t count);
    // Moves up to most bytes (within Room) of source into the open file;
    // returns how many, 0 where source has none left. Large runs go through
    // a copy inside the system when nothing here must see the bytes (no
    // parity) and the system will take it; others are read into the
    // gathering buffer, where the bytes of small files join into one
    // write. seen, when set, is shown every byte read.
    int64_t CopyFrom(TFileStreamLite& source, int64_t most, const TBytesSeen& seen = TBytesSeen());
    // Every file closed so far with its CRC-32, in order.
    const std::vector<TSfvLine>& Checksums() const { return Lines; }
    // The volumes so far with their files, and the parity block: the XOR of
    // every volume, zero-padded. Complete once the last file is closed and
    // FinishParity has run.
    void FinishParity();
    const TParityLayout& Layout() const { return Description; }
    const char* ParityBlock() const { return Parity.get(); }
    size_t ParityBlockSize() const { return static_cast<size_t>(ParitySize); }

private:
    void WriteGathered();
    // The bytes the open file took at the current position.
    void Took(const char* data, uint32_t count);
    void PadFirstVolume();

    const bool KeepChecksums;
    const int64_t ParitySize;
    std::unique_ptr<char[]> Parity;
    TParityLayout Description;
    // The first volume is copied into the block, not XORed into zeros, which
    // spares a pass over up to 1 GiB; its padding is set when it ends.
    bool FirstVolumePadded = false;

    int64_t VolumeSize = 0;
    // Bytes of the open volume in its files; Gathered more wait in Buffer.
    int64_t Position = 0;
    uint32_t Gathered = 0;

    std::unique_ptr<TFileStreamLite> File;
    std::string FileName;
    int64_t FileBytes = 0;
    TCrc32 FileCrc;
    // Cleared for the open file once the system declines a copy into it.
    bool SystemCopy = true;
    std::vector<TSfvLine> Lines;
    TPageBuffer Buffer;
};
