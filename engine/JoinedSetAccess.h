// A set's data parts and header files as a join has them once it is done:
// the data parts' bytes in the output files it wrote, back to back in the
// header's order, and the header files as it read them. A join whose
// diskettes of some parts were never found rebuilds those parts' bytes from
// the recovery files through this, straight into the output files.
#pragma once

#include "RecoveryRepair.h"

#include <cstdint>
#include <string>
#include <vector>

class TFileInfos;

class TJoinedSetAccess : public TSetFileAccess {
public:
    // stem "NAME.", the output files' folder, the size of part 001, and the
    // header files' bytes in order.
    TJoinedSetAccess(const std::string& stem, const std::string& outputDir, const TFileInfos& list, int64_t partSize,
                     std::vector<std::string> headerFiles);

    bool Size(const std::string& name, uint64_t& size) override;
    size_t Read(const std::string& name, uint64_t offset, void* into, size_t count) override;
    void Create(const std::string&, uint64_t) override {}
    void Write(const std::string& name, uint64_t offset, const char* data, size_t count) override;
    void Finish() override {}

private:
    struct TOutput {
        std::string Path;
        int64_t Start = 0;
        int64_t Size = 0;
    };
    // The data part's first byte in the stream of output bytes; -1 for a
    // name that is no data part of the set.
    int64_t PartStart(const std::string& name, uint64_t& size) const;
    // Reads (into) or writes (from) count bytes of the stream at position.
    size_t Move(int64_t position, char* into, const char* from, size_t count);

    std::string Stem;
    std::vector<TOutput> Outputs;
    int64_t Total = 0;
    int64_t PartSize = 0;
    std::vector<std::string> HeaderFiles;
};
