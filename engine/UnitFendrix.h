// The job engine: the description of a job and the object that runs it.
#pragma once

#include "foundation/PartLimit.h"
#include "index/UnitFileInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class EExceptionLite;
class TFileStreamLite;
class TJobDialogue;

constexpr int64_t DefaultPartSize = 1453568;
constexpr int32_t MaxParts = MaxPartCount;
constexpr uint32_t CopyBufferSize = 131072;
// The most that one copy inside the system moves between two looks at
// progress and cancel; below the least it costs more than the program's own
// read and write, and the small files of a tree go that way.
constexpr int64_t SystemCopyMost = 64 << 20;
constexpr int64_t SystemCopyLeast = 256 * 1024;

// Result codes of a job; in silent mode the exit code of the process.
constexpr uint8_t rcOk = 0;
constexpr uint8_t rcSourceNotFound = 1;
constexpr uint8_t rcOutputNotFound = 2;
constexpr uint8_t rcSourceIsDirectory = 3;
constexpr uint8_t rcOutputIsFile = 4;
constexpr uint8_t rcOutputRemovable = 5;
constexpr uint8_t rcInvalidSize = 6;
constexpr uint8_t rcTooManyParts = 7;
constexpr uint8_t rcInvalidHeader = 8;
constexpr uint8_t rcFileError = 9;
constexpr uint8_t rcBatchRefused = 10;
constexpr uint8_t rcCancelled = 11;
constexpr uint8_t rcUnknownError = 12;
// A file of the set does not match the checksum that its sfv file records.
constexpr uint8_t rcDamaged = 13;
// Verify only: a file of the set is missing or damaged, and the set's parity
// file can rebuild it.
constexpr uint8_t rcRepairable = 14;

extern const char* const UnknownErrorText;
extern const char* const WriteErrorText;

// The most lost volumes a set's recovery files can be made for.
constexpr int32_t RecoveryMostVolumes = 999;
constexpr int32_t RecoveryCountInvalid = -1;

// The count of "/RECOVERYn" (the text after the switch's name).
int32_t ParseRecoveryCount(const std::string& text);

class TFendrixStartParams {
public:
    TFendrixStartParams() = default;

    // Fills the fields from the process's command line.
    void ParseCommandLine();
    // The same from the arguments after the program's path, in order.
    void ParseArguments(const std::vector<std::string>& args);
    static int32_t CheckStateOf(bool value) { return value ? 1 : 0; }

    std::string SourcePath;
    std::string OutputDir;
    bool Copy = false;
    bool Batch = false;
    int64_t Size = DefaultPartSize;
    bool Silent = false;
    bool Unsplit = false;
    bool NoHeader = false;
    // Silent mode only: check a set without joining it.
    bool Verify = false;
    // The program file that /COPY puts beside the parts; empty for the
    // running program itself.
    std::string ProgramToCopy;
    // Split: also write the set's parity file, which rebuilds any one lost
    // volume.
    bool Parity = false;
    // Verify: write a file that the parity file rebuilds back into the set.
    bool Repair = false;
    // Split: also write PAR 2.0 recovery files with which the set survives
    // the loss of this many volumes; 0 for none, RecoveryCountInvalid for a
    // number the command line gave that is none.
    int32_t Recovery = 0;
    // Split: the source is the process's standard input, stored as one file
    // of this name; empty when the source is SourcePath.
    std::string StreamName;
    // Split: this many data parts of one size, worked out from the source's
    // total, in place of Size; 0 for none.
    int32_t EqualParts = 0;
    // Join: the set's one file goes to standard output, not into OutputDir.
    bool ToStandardOutput = false;
    // Join: read the header files only, into the file list and Listing.
    bool ListOnly = false;
};

// What a listing tells of a set beside its entries.
struct TSetListing {
    int32_t HeaderFiles = 0;
    // The size of data part 001, and the data parts that the total takes at
    // that size; 0 when part 001 is not there.
    int64_t PartSize = 0;
    int64_t DataParts = 0;
    bool HasChecksums = false;
    bool HasParity = false;
    bool HasRecovery = false;
};

class TFendrix {
public:
    TFendrix();
    virtual ~TFendrix();
    TFendrix(const TFendrix&) = delete;
    TFendrix& operator=(const TFendrix&) = delete;

    // Runs one job. An exception that none of its steps handles, the path
    // check's included, ends the job with rcUnknownError.
    uint8_t Execute(TFendrixStartParams& params);
    void ShowResultMessage(uint8_t code);
    uint8_t CheckPaths(bool splitting);

    uint8_t SplitJob();
    uint8_t JoinJob();
    // Checks every file of a set, writing nothing: 0 good, 1 a file missing,
    // 13 a file damaged, 14 what is missing or damaged can be rebuilt: one
    // volume by the parity file, or as many as the recovery files hold
    // slices for. With Repair, the rebuilt files are written back and the
    // set is checked again.
    uint8_t VerifyJob();
    // Parts of Params->Size bytes that byteCount needs, rounded up.
    int64_t PartCount(int64_t byteCount) const;
    // Writes the data parts, the batch file and the header files.
    uint8_t SplitCore();
    // Puts the program beside the parts; a failure is reported, not fatal.
    void CopyProgram();
    // Reads the header (or scans the numbered parts) and rebuilds the files.
    uint8_t JoinCore();

    // Who the job asks and tells (JobDialogue.h): the one given, or else
    // the window's, or nobody's for a silent job.
    void SetDialogue(TJobDialogue* dialogue) { GivenDialogue = dialogue; }
    TJobDialogue& Dialogue();

    // The hooks of the dialogue, for the steps of a job.
    bool CheckCancel(const std::string& caption);
    void* OwnerWindow();
    void SetProgressTotal(int64_t total);
    void SetProgressPosition(int64_t position);
    void BeginBusy();
    void EndBusy();

    TFendrixStartParams* Params = nullptr;
    std::unique_ptr<TFileInfos> FileList;
    // Which names the split stores and the join restores, and who hears of
    // entries left out or stored with a warning. The Windows rules unless
    // the caller chooses otherwise.
    TScanPolicy ScanPolicy;
    // What the job's failure was, in a catalogue or system text, where the
    // job knows more than its result code says (the file, the system's
    // reason); empty otherwise.
    std::string FailureText;
    // The file that FailureText is about where the text itself may not name
    // it (a system text); empty otherwise.
    std::string FailurePath;
    // What a job wrote beyond what was asked of it, to the dialogue.
    void Tell(const std::string& text);
    // The text of a result code as the window shows it; empty for none.
    static std::string ResultText(uint8_t code);
    // The result of an exception that no step of the job handled, from
    // inside the handler that caught it: rcUnknownError, with the text that
    // says so where the system ran out of memory.
    uint8_t UnknownFailure();
    std::string Caption;
    // Header files that the last SplitCore wrote; the report names them.
    int32_t HeaderFilesWritten = 0;
    // Filled by a join with ListOnly.
    TSetListing Listing;

    // Creates a part, header or rebuilt file for writing. An existing file is
    // replaced only when overwriteAll is set, nobody is asked, or the user
    // says Yes (which sets overwriteAll); none when the user says No.
    std::unique_ptr<TFileStreamLite> CreateAskingToOverwrite(const std::string& name, bool& overwriteAll);
    // A file error ends the copy loops: its text to the dialogue as an
    // error; returns rcFileError.
    uint8_t ReportFileError(const std::string& text);
    // The same for a raised failure, keeping the file it names.
    uint8_t ReportFileError(const EExceptionLite& failure);

private:
    TJobDialogue* GivenDialogue = nullptr;
    std::unique_ptr<TJobDialogue> OwnDialogue;
    bool OwnDialogueSilent = false;
    // The halves of CheckPaths: a result code, and the path made absolute.
    uint8_t CheckSourcePath(bool splitting);
    uint8_t CheckOutputDir();
    bool BatchNameFits(const std::string& source) const;
    void RefuseBatch(const std::string& source);
    // The frame of both jobs: the path check, the busy cursor, the caption
    // and a guard that turns any exception of the path check and the steps
    // into rcUnknownError.
    uint8_t RunJobFrame(bool splitting, uint8_t (TFendrix::*steps)(uint8_t));
    uint8_t SplitSteps(uint8_t r);
    // The split's file list: the scan of the source, or standard input's
    // one entry; sets the size of equal parts.
    uint8_t ListSource();
    uint8_t JoinSteps(uint8_t r);
};
