// Finds and rebuilds the missing or damaged files of a set from PAR 2.0
// recovery data beside it: ours, or what any PAR2 tool made over the set's
// files with a slice size of its own. Each slice is checked by the recovery
// data's own MD5 and CRC-32; only the slices that fail are rebuilt, from the
// good slices and as many recovery slices.
#pragma once

#include "index/Par2Packets.h"

class TFileStreamLite;

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where the set's files are read from and the rebuilt ones go: a folder of
// parts, or a join's output, which holds the data parts' bytes in its files.
class TSetFileAccess {
public:
    virtual ~TSetFileAccess() = default;
    // The file's size; false where there is no such file. Both threads of
    // a check may call Size and Read at once, for different files.
    virtual bool Size(const std::string& name, uint64_t& size) = 0;
    // Up to count bytes at offset; fewer only at the file's end.
    virtual size_t Read(const std::string& name, uint64_t offset, void* into, size_t count) = 0;
    // A rebuilt file of size bytes, then its bytes in any order, then the
    // end of all of them.
    virtual void Create(const std::string& name, uint64_t size) = 0;
    virtual void Write(const std::string& name, uint64_t offset, const char* data, size_t count) = 0;
    virtual void Finish() = 0;
};

// The set's files in a folder; a rebuilt file is written where Target says,
// and a lost file's good slices are read from where ReadFrom says (a damaged
// copy kept aside).
class TFolderAccess : public TSetFileAccess {
public:
    explicit TFolderAccess(const std::string& dir);
    ~TFolderAccess() override;
    std::function<std::string(const std::string& name)> Target;
    void ReadFrom(const std::string& name, const std::string& path) { Moved.emplace_back(name, path); }

    bool Size(const std::string& name, uint64_t& size) override;
    size_t Read(const std::string& name, uint64_t offset, void* into, size_t count) override;
    void Create(const std::string& name, uint64_t size) override;
    void Write(const std::string& name, uint64_t offset, const char* data, size_t count) override;
    void Finish() override;

private:
    std::string PathOf(const std::string& name) const;
    std::string Dir;
    std::vector<std::pair<std::string, std::string>> Moved;
    std::vector<std::pair<std::string, std::unique_ptr<TFileStreamLite>>> Outputs;
};

class TRecoveryRepair {
public:
    // Reads "NAME.par2" and "NAME.vol*.par2" of the set with this stem
    // ("NAME.") in dir. False when there are none, or none describes the
    // set. File descriptions whose names are not the set's own files (a
    // path, "..", another file) are never opened or written.
    bool Load(const std::string& dir, const std::string& stem);
    bool Loaded() const { return IsLoaded; }

    // Reads every described file and checks each slice; afterwards Lost()
    // names the files that are missing or damaged.
    void Check(TSetFileAccess& files);
    const std::vector<std::string>& Lost() const { return LostFiles; }
    uint32_t SlicesLost() const { return static_cast<uint32_t>(LostSlices.size()); }
    uint32_t SlicesAvailable() const { return static_cast<uint32_t>(Set.RecoverySlices.size()); }
    // A file whose slices are all good but that is longer than described
    // is rebuilt too: from its own slices alone.
    // The CRC-32 of a file that Check found whole and good; false for any
    // other, which a later check must read again.
    bool FileCrc(const std::string& name, uint32_t& crc) const;
    bool CanRebuild() const { return !LostFiles.empty() && SlicesLost() <= SlicesAvailable(); }
    // A new line saying how many more recovery slices a rebuild would
    // need, for the end of a lost file's text; empty where none are.
    std::string TooFewNote(const std::string& stem) const;

    // Writes every lost file whole through files. False, with nothing
    // written, when the matrix of every choice of recovery slices tried
    // was singular.
    bool Rebuild(TSetFileAccess& files);

private:
    struct TFileState {
        const TPar2FileEntry* Entry = nullptr;
        // A file of the set: one that this program may read and write.
        bool Ours = false;
        // The file's first slice among all of the set, in the set's order.
        uint32_t FirstSlice = 0;
        std::vector<uint8_t> Good;
        bool Lost = false;
        // The CRC-32 of all of the file, where Check read it whole.
        uint32_t Crc = 0;
        bool CrcKnown = false;
    };
    // Global slice index to its file and slice within the file.
    struct TSliceRef {
        size_t File = 0;
        uint64_t Slice = 0;
    };

    // Adds the recovery slices whose packets are sound to their sets.
    void CheckRecoveryPackets(const std::vector<TPar2UncheckedSlice>& packets, const std::vector<uint64_t>& sizes,
                              std::vector<TPar2Set>& sets) const;
    // Reads files from up to to and marks their good slices.
    void CheckFiles(TSetFileAccess& files, size_t from, size_t to);
    // count files of one described length (one, or eight side by side),
    // whose positions in Files group holds; size is what they hold.
    // buffers: room for eight steps and one of zeros.
    void CheckGroup(TSetFileAccess& files, const size_t* group, size_t count, uint64_t size,
                    std::vector<char>& buffers);

    bool IsLoaded = false;
    std::string Dir;
    TPar2Set Set;
    std::vector<std::string> RecoveryFiles;
    std::vector<TFileState> Files;
    std::vector<std::string> LostFiles;
    std::vector<uint32_t> LostSlices;
    std::vector<TSliceRef> Slices;
};
