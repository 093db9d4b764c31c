// Measures how the index scales with the number of entries. Each call does
// one job's worth of work in a fresh process, as a split or a join does:
//   index_bench header N   builds the header text of a list of N entries and
//                          parses it back; prints "build_ms parse_ms"
//   index_bench scan DIR   scans DIR (after one scan that warms the caches);
//                          prints "entries scan_ms"
// run.sh calls it for 10,000 and 100,000 entries and prints the ratios.
#include "index/UnitFileInfo.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

double Milliseconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A list shaped like a real tree: directories of ten, names of some length.
void FillList(TFileInfos& list, int count) {
    std::mt19937_64 rng(static_cast<uint64_t>(count));
    std::string dir = "backup";
    for (int i = 0; i < count; ++i) {
        TFileInfo* entry = list.Add();
        if (i % 10 == 0) {
            dir = "backup\\year " + std::to_string(2000 + i % 25) + "\\folder." + std::to_string(i / 10);
            entry->Name = dir;
            entry->Kind = fkDirectory;
        } else {
            entry->Name = dir + "\\photo " + std::to_string(i) + ".jpg";
            entry->Kind = fkFile;
            entry->Size = static_cast<int64_t>(rng() % 5000000);
        }
        entry->LastWriteTime = MakeFileTime((rng() % 2650467743999ull) * 10000);
    }
}

int Header(int count) {
    TFileInfos list;
    FillList(list, count);
    const double start = Milliseconds();
    const std::string header = list.BuildHeader();
    const double built = Milliseconds();
    TFileInfos read;
    const bool valid = read.ParseHeader(header);
    const double parsed = Milliseconds();
    if (!valid || read.Count() != count || header.size() != static_cast<size_t>(list.HeaderSize())) {
        std::fprintf(stderr, "the header of %d entries did not read back\n", count);
        return 1;
    }
    std::printf("%.3f %.3f\n", built - start, parsed - built);
    return 0;
}

int Scan(const std::string& dir) {
    TFileInfos warm;
    warm.ScanPath(dir, std::numeric_limits<int64_t>::max());
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < 3; ++i) {
        TFileInfos list;
        const double start = Milliseconds();
        list.ScanPath(dir, std::numeric_limits<int64_t>::max());
        const double elapsed = Milliseconds() - start;
        if (elapsed < best)
            best = elapsed;
        if (list.Count() != warm.Count()) {
            std::fprintf(stderr, "scans of %s differ\n", dir.c_str());
            return 1;
        }
    }
    std::printf("%d %.3f\n", warm.Count(), best);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "header") == 0)
        return Header(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0)
        return Scan(argv[2]);
    std::fprintf(stderr, "usage: index_bench header COUNT | index_bench scan DIR\n");
    return 2;
}
