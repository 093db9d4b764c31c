// The PAR 2.0 recovery files of a set: "NAME.par2", which describes the
// set's files, and "NAME.volE+1.par2", each with one recovery slice and the
// description again, so that any one of them is enough to start a repair.
//
// Every data part and header file that holds bytes is one slice (the slice
// size is the largest file's, the part size for any set of more than one
// part, rounded up to a multiple of 4 as the format asks),
// so a lost volume costs one slice, or two for the volume where the last
// data part and header file 001 share a medium.
#pragma once

#include "index/Par2Packets.h"
#include "index/SfvText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFileStreamLite;

// The recovery data being computed are held in memory a window at a time:
// a window of every recovery slice, the same bytes of each input slice read
// into it. Larger slices take more windows, that is more passes over the
// parts, and never more memory.
constexpr int64_t RecoveryMemoryLimit = int64_t(256) << 20;
// The constants of the format's input slices run out here.
constexpr uint32_t RecoveryLargestSliceCount = 32768;
// The creator packet's text, the same in every build so that both programs
// write the same bytes.
extern const char* const RecoveryCreator;

struct TRecoveryInput {
    // Where the file is read from, and its name in the set (no directory).
    std::string Path;
    std::string Name;
    int64_t Size = 0;
};

struct TRecoveryOptions {
    uint64_t SliceSize = 0;
    uint32_t RecoverySlices = 0;
    // The output path and the set's name: "DIR/NAME", to which ".par2" and
    // ".volE+1.par2" are added.
    std::string Prefix;
    // Creates a recovery file; null to stop (the user cancelled).
    std::function<std::unique_ptr<TFileStreamLite>(const std::string& path)> Create;
    // Called with the bytes done so far; false stops the job.
    std::function<bool(int64_t done)> Progress;
};

// True for "NAME.par2" and "NAME.vol*.par2" of the set named firstName, in
// any letter case.
bool IsRecoveryFileName(const std::string& name, const std::string& firstName);
// The slice size for a set whose largest file (a full part, where there is
// one) has this many bytes: one slice per file.
uint64_t RecoverySliceSize(int64_t largestFile);
// The recovery slices that let a set survive the loss of lostVolumes
// volumes; sharedVolume when one volume holds two files of bytes.
uint32_t RecoverySlicesFor(uint32_t lostVolumes, bool sharedVolume);
// The width of the window each pass computes: what the memory limit takes
// for that many recovery slices, at most a slice.
uint64_t RecoveryWindow(uint64_t sliceSize, uint32_t recoverySlices);

// Reaches, on the calling thread, every static that the checksums and the
// arithmetic set up on first use, before a second thread may race for it
// (the Windows program's statics are built without guards).
void PrepareForSecondThread();

// Writes the recovery files of inputs (empty files are left out: they have
// no slice); returns their sfv lines, or false in cancelled when Create or
// Progress stopped the job. Failures of the system raise EExceptionLite.
std::vector<TSfvLine> WriteRecoveryFiles(const std::vector<TRecoveryInput>& inputs, const TRecoveryOptions& options,
                                         bool& cancelled);
