// Rebuilds one lost volume of a set from the set's parity file and all its
// other volumes. Used by the join, when a part is missing or damaged, and by
// the verify run, which may write the rebuilt files back.
#pragma once

#include "SetChecksums.h"

#include "index/ParityText.h"

#include <cstdint>
#include <string>
#include <vector>

// Why no volume was rebuilt.
enum class TParityFailure { None, Absent, Damaged, BeyondRepair };

class TParityRepair {
public:
    explicit TParityRepair(const TSetChecksums& checksums) : Checksums(checksums) {}

    // Reads the parity file of the set with this stem ("name.") from dir.
    // False when there is none, or it is damaged (its own crc or the sfv
    // file's), or it names files that are no parts of this set.
    bool Load(const std::string& dir, const std::string& stem);
    bool Loaded() const { return IsLoaded; }
    const TParityLayout& Layout() const { return Description; }
    // The volume that holds the named file; -1 for none.
    int32_t VolumeOf(const std::string& fileName) const;

    // Rebuilds volume target (-1: the one volume found missing or damaged)
    // from every other volume in dir, each of whose files must be there with
    // its recorded size and checksum; the rebuilt files must match theirs.
    // Reads every other volume once. False when that cannot be done: then
    // nothing is rebuilt. Only one volume is ever rebuilt.
    bool Rebuild(const std::string& dir, int32_t target = -1);
    int32_t RebuiltVolume() const { return Target; }
    // The rebuilt bytes of a file of the rebuilt volume; false for others.
    bool Rebuilt(const std::string& fileName, const char*& data, int64_t& size) const;

    // What kept the last Load or Rebuild from its end; None after success.
    TParityFailure Failure() const { return LastFailure; }
    // The parity file's name, as Load looked for it.
    const std::string& FileName() const { return ParityName; }
    // Why the parity file did not rebuild the named file, in a catalogue
    // text that names both, for the end of that file's own message; empty
    // where there is nothing to say (a set made without a parity file).
    std::string FailureNote(const std::string& lostFile) const;

private:
    // True when the file is there with its recorded size and checksum. Its
    // bytes are XORed into the block at offset as they are read; a failed
    // file's bytes are XORed once more, which takes them out again.
    bool AddFile(const std::string& dir, const TParityFile& file, int64_t offset);
    bool XorFile(const std::string& path, int64_t offset, int64_t limit, int64_t& read, uint32_t& crc);

    const TSetChecksums& Checksums;
    std::string ParityName;
    TParityFailure LastFailure = TParityFailure::None;
    bool IsLoaded = false;
    TParityLayout Description;
    // The parity file's bytes; the block in it becomes the rebuilt volume.
    std::string Bytes;
    size_t BlockOffset = 0;
    int32_t Target = -1;
    std::vector<char> Buffer;
};
