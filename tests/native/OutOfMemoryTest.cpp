// Memory that runs out at each allocation in turn, inside the index's scans
// and header reader: each either gives its whole answer or lets
// std::bad_alloc through, for the job to report. None may give a wrong
// answer instead: an empty scan reads as a source or part that is not
// there, and a header that is refused for want of memory as an invalid one.
#include "native/FailingAllocations.h"
#include "support/NativeFiles.h"

#include "index/UnitFileInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

namespace {

using namespace native_files;

struct TRow {
    const char* Label;
    // True for the whole, right answer.
    std::function<bool()> Call;
};

TEST(OutOfMemory, TheIndexNeverTakesItForAnAnswer) {
    TScratch dir;
    fs::create_directories(dir / "tree/sub");
    WriteBytes(dir / "tree/a.bin", "aaa");
    WriteBytes(dir / "tree/sub/b.bin", "bb");
    WriteBytes(dir / "set.001", "12345");
    WriteBytes(dir / "set.002", "678");
    const std::string header = "QoVa40\ta.bin\tF\t3\t20200101000000000\tsub\tD\t0\t20200101000000000\t\t";
    const std::string tree = (dir / "tree").string();
    const std::string part = (dir / "set.002").string();
    const TRow rows[] = {
        {"the scan of a tree",
         [&] {
             TFileInfos list;
             return !list.ScanPath(tree, 1 << 20) && list.Count() == 4 && list.TotalSize() == 5;
         }},
        {"the numbered parts without a header",
         [&] {
             TFileInfos list;
             return list.ScanNumberedParts(part) && list.Count() == 1 && list.TotalSize() == 8;
         }},
        {"the header text",
         [&] {
             TFileInfos list;
             return list.ParseHeader(header) && list.Count() == 2 && list.TotalSize() == 3;
         }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        ASSERT_TRUE(row.Call()) << "the answer with memory enough";
        int failures = 0;
        for (int nth = 1;; ++nth) {
            bool answer = false;
            bool threw = false;
            bool happened = false;
            {
                const TFailingAllocation failing(nth);
                try {
                    answer = row.Call();
                } catch (const std::bad_alloc&) {
                    threw = true;
                }
                happened = failing.Happened();
            }
            if (!happened) {
                // Every allocation of the call has failed once in turn.
                EXPECT_TRUE(answer);
                break;
            }
            ++failures;
            EXPECT_TRUE(threw || answer) << "allocation " << nth << " failed and the answer was taken for a real one";
        }
        EXPECT_GT(failures, 2);
    }
}

}  // namespace
