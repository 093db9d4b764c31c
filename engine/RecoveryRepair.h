// Finds and rebuilds the missing or damaged files of a set from PAR 2.0
// recovery data beside it: ours, or what any PAR2 tool made over the set's
// files with a slice size of its own. Each slice is checked by the recovery
// data's own MD5 and CRC-32; only the slices that fail are rebuilt, from the
// good slices and as many recovery slices.
#pragma once

#include "index/Par2Packets.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
    void Check();
    const std::vector<std::string>& Lost() const { return LostFiles; }
    uint32_t SlicesLost() const { return static_cast<uint32_t>(LostSlices.size()); }
    uint32_t SlicesAvailable() const { return static_cast<uint32_t>(Set.RecoverySlices.size()); }
    // A file whose slices are all good but that is longer than described
    // is rebuilt too: from its own slices alone.
    bool CanRebuild() const { return !LostFiles.empty() && SlicesLost() <= SlicesAvailable(); }

    // Where a lost file's good slices are read from, once the file was moved
    // aside (a damaged copy kept); by default its place in dir.
    void ReadLostFileFrom(const std::string& name, const std::string& path);
    // Writes every lost file whole to target(name). False, with nothing
    // known of what was written, when the matrix of every choice of
    // recovery slices tried was singular.
    bool Rebuild(const std::function<std::string(const std::string& name)>& target);

private:
    struct TFileState {
        const TPar2FileEntry* Entry = nullptr;
        std::string Path;
        // The file's first slice among all of the set, in the set's order.
        uint32_t FirstSlice = 0;
        std::vector<bool> Good;
        bool Lost = false;
    };
    // Global slice index to its file and slice within the file.
    struct TSliceRef {
        size_t File = 0;
        uint64_t Slice = 0;
    };

    // Reads one file and marks its good slices.
    void CheckFile(TFileState& file);

    bool IsLoaded = false;
    std::string Dir;
    TPar2Set Set;
    std::vector<std::string> RecoveryFiles;
    std::vector<TFileState> Files;
    std::vector<std::string> LostFiles;
    std::vector<uint32_t> LostSlices;
    std::vector<TSliceRef> Slices;
};
