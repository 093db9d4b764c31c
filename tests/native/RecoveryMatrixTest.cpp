// The choice of recovery slices when the first one cannot be solved. With
// input constants 2^1 and 2^256, whose quotient has the order 257, the
// recovery slices of exponents 0 and 257 weigh both lost slices alike: a
// repair that held to them would fail though another slice is there.
#include "engine/RecoveryRepair.h"
#include "foundation/checksum/Gf16.h"
#include "index/Par2Packets.h"
#include "support/InProcessJob.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using namespace native_files;

TEST(RecoveryMatrix, ASingularChoiceGivesWayToAnotherSlice) {
    // Input slice i is weighted with 2^n for the i-th n prime to 65535.
    uint32_t far = 0;
    while (Par2InputConstant(far) != Gf16Power(2, 256))
        ++far;
    ASSERT_EQ(Par2InputConstant(0), 2);
    TScratch dir;
    fs::create_directories(dir / "parts");
    // The last part shares its volume with header file 001: 259 slices.
    WriteBytes(dir / "f.bin", Pattern(1000 * (far + 10) + 500, 9));
    TJobRequest split;
    split.Source = (dir / "f.bin").string();
    split.OutputDir = (dir / "parts").string();
    split.Size = 1000;
    split.Recovery = 258;
    ASSERT_EQ(rcOk, RunInProcess(split));
    // The two files that are input slices 0 and far, in the set's order.
    const std::string index = ReadBytes(dir / "parts/f.bin.par2");
    std::vector<TPar2Set> sets;
    ReadPar2Packets(
        [&](uint64_t offset, void* into, size_t count) -> size_t {
            const size_t n = offset < index.size() ? std::min(count, index.size() - static_cast<size_t>(offset)) : 0;
            std::memcpy(into, index.data() + offset, n);
            return n;
        },
        index.size(), 0, sets);
    ASSERT_EQ(1u, sets.size());
    ASSERT_GT(sets[0].Recoverable.size(), far);
    const std::string first = sets[0].File(sets[0].Recoverable[0])->Name;
    const std::string other = sets[0].File(sets[0].Recoverable[far])->Name;
    const std::string wantFirst = ReadBytes(dir / "parts" / first), wantOther = ReadBytes(dir / "parts" / other);
    // Only the recovery slices of exponents 0, 257 and 258 stay.
    for (const auto& entry : fs::directory_iterator(dir / "parts")) {
        const std::string name = entry.path().filename().string();
        if (name.find(".vol") != std::string::npos && name.find(".vol000+") == std::string::npos &&
            name.find(".vol257+") == std::string::npos && name.find(".vol258+") == std::string::npos)
            fs::remove(entry.path());
    }
    fs::remove(dir / "parts" / first);
    fs::remove(dir / "parts" / other);
    TRecoveryRepair repair;
    ASSERT_TRUE(repair.Load((dir / "parts").string(), "f.bin."));
    TFolderAccess files((dir / "parts").string());
    repair.Check(files);
    EXPECT_EQ(2u, repair.SlicesLost());
    EXPECT_EQ(3u, repair.SlicesAvailable());
    ASSERT_TRUE(repair.Rebuild(files));
    EXPECT_EQ(wantFirst, ReadBytes(dir / "parts" / first));
    EXPECT_EQ(wantOther, ReadBytes(dir / "parts" / other));
}

}  // namespace
