// Repairs of one set, one after another: each keeps the damaged file under
// a name of its own, never over an earlier copy, and says on stdout what it
// rebuilt and where it kept the damaged file.
#include "Scratch.h"

#include <gtest/gtest.h>

namespace {

std::string Flipped(std::string bytes, size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    return bytes;
}

TEST(NativeRepair, EveryRepairKeepsItsDamagedCopyAndSaysWhere) {
    TNativeScratch dir;
    dir.MakeDir("parts");
    std::string source(45, '\0');
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>(i * 37 + 5);
    dir.Write("f.bin", source);
    ASSERT_EQ(0, RunNative({"split", "f.bin", "parts", "--size", "10", "--parity", "--quiet"}, dir.Dir).Code);
    const std::string good = dir.Read("parts/f.bin.002");

    struct TRow {
        const char* Label;
        // The damaged part's bytes; none: the part is gone.
        std::string Damaged;
        bool Lost;
        // The copy that this repair keeps; none where nothing was there.
        const char* Kept;
    } rows[] = {
        {"first damage", Flipped(good, 1), false, "f.bin.002.damaged"},
        {"damaged again, the first copy still there", Flipped(good, 2), false, "f.bin.002.damaged2"},
        {"lost: nothing to keep", "", true, nullptr},
        {"damaged a third time", Flipped(good, 3), false, "f.bin.002.damaged3"},
    };
    std::vector<std::pair<std::string, std::string>> keptSoFar;
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        if (row.Lost)
            dir.Remove("parts/f.bin.002");
        else
            dir.Write("parts/f.bin.002", row.Damaged);
        const TNativeRun repair = RunNative({"verify", "parts/f.bin.001", "--repair"}, dir.Dir);
        EXPECT_EQ(0, repair.Code) << repair.Err;
        EXPECT_EQ("", repair.Err);
        EXPECT_EQ(good, dir.Read("parts/f.bin.002"));
        if (row.Kept) {
            EXPECT_EQ("\"f.bin.002\" was rebuilt from the parity file \"f.bin.par\"; the damaged copy is kept as \"" +
                          std::string(row.Kept) + "\".\n",
                      repair.Out);
            keptSoFar.emplace_back(row.Kept, row.Damaged);
        } else {
            EXPECT_EQ("\"f.bin.002\" was rebuilt from the parity file \"f.bin.par\".\n", repair.Out);
        }
        for (const auto& [name, bytes] : keptSoFar)
            EXPECT_EQ(bytes, dir.Read("parts/" + name)) << name << " is as that repair kept it";
        EXPECT_EQ(0, RunNative({"verify", "parts/f.bin.001"}, dir.Dir).Code);
    }
    EXPECT_EQ(3u, keptSoFar.size());
}

}  // namespace
