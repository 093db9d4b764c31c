// What every job shares: the path check, the hooks to the window, the
// result texts and the frame around the job's own steps.
#include "JobDialogue.h"
#include "JobWindow.h"
#include "UnitFendrix.h"

#include "foundation/UnitFileStream.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"

#include <new>

TJobWindow* JobWindow = nullptr;

const char* const UnknownErrorText = "An unknown error occured!";
const char* const WriteErrorText = "Error writing to file!";

TFendrix::TFendrix() : FileList(std::make_unique<TFileInfos>()) {}

TFendrix::~TFendrix() {
    FreeAndClear(FileList);
}

uint8_t TFendrix::Execute(TFendrixStartParams& params) {
    Params = &params;
    if (Params->Verify && Params->Silent)
        return VerifyJob();
    return Params->Unsplit ? JoinJob() : SplitJob();
}

namespace {

// The busy cursor while the job's steps run, cleared however they end.
class TBusyScope {
public:
    explicit TBusyScope(TFendrix& job) : Job(job) { Job.BeginBusy(); }
    ~TBusyScope() { Job.EndBusy(); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    TFendrix& Job;
};

}  // namespace

// The path check is inside the guard as well: what escapes it (a message
// box that fails, memory that runs out) ends the job with a result code as
// it would in any later step, and never leaves the caller with an exception.
uint8_t TFendrix::RunJobFrame(bool splitting, uint8_t (TFendrix::*steps)(uint8_t)) {
    uint8_t r = rcUnknownError;
    try {
        r = CheckPaths(splitting);
        const TBusyScope busy(*this);
        Caption = LangText(splitting ? 0 : 1);
        r = (this->*steps)(r);
    } catch (...) {
        r = UnknownFailure();
    }
    SetProgressTotal(0);
    return r;
}

uint8_t TFendrix::UnknownFailure() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        // Out of memory is no file that is missing or damaged, and no file
        // error with a system text: "any other error", named as what it is.
        try {
            FailureText = LangText(msgOutOfMemory);
        } catch (...) {
        }
    } catch (...) {
    }
    return rcUnknownError;
}

uint8_t TFendrix::SplitJob() {
    return RunJobFrame(true, &TFendrix::SplitSteps);
}

uint8_t TFendrix::JoinJob() {
    return RunJobFrame(false, &TFendrix::JoinSteps);
}

TJobDialogue& TFendrix::Dialogue() {
    if (GivenDialogue)
        return *GivenDialogue;
    const bool silent = Params && Params->Silent;
    if (!OwnDialogue || OwnDialogueSilent != silent) {
        OwnDialogue = silent ? std::make_unique<TSilentDialogue>() : MakeWindowDialogue(Caption);
        OwnDialogueSilent = silent;
    }
    return *OwnDialogue;
}

std::unique_ptr<TFileStreamLite> TFendrix::CreateAskingToOverwrite(const std::string& name, bool& overwriteAll) {
    // Once every existing file may be overwritten there is nothing to ask.
    // Before that, a file that is not there yet is created in the same step
    // that finds it missing: a separate look-up reads the whole directory
    // again on some file systems.
    if (!overwriteAll && Dialogue().Attended()) {
        if (auto created = TFileStreamLite::CreateIfAbsent(name))
            return created;
        if (PathKind(name) == pkFile) {
            overwriteAll = Dialogue().Confirm(TQuestion::Overwrite, LangText(msgConfirmOverwrite, {name}));
            if (!overwriteAll)
                return nullptr;
        }
    }
    return TFileStreamLite::CreateForWriting(name);
}

uint8_t TFendrix::ReportFileError(const EExceptionLite& failure) {
    const uint8_t r = ReportFileError(failure.MessageText);
    FailurePath = failure.Path;
    return r;
}

uint8_t TFendrix::ReportFileError(const std::string& text) {
    FailureText = text;
    Dialogue().Notify(TNotice::Error, text);
    return rcFileError;
}

// Where the job knows more than the code says (which file, what failed),
// the window shows that instead of the code's general text. Codes without
// a text of their own have shown what they had to say already.
void TFendrix::ShowResultMessage(uint8_t code) {
    std::string text = ResultText(code);
    if (!text.empty() && !FailureText.empty())
        text = FailureText;
    if (!text.empty())
        Dialogue().Notify(TNotice::Warning, text);
}

std::string TFendrix::ResultText(uint8_t code) {
    std::string text;
    switch (code) {
    case rcSourceNotFound:
    case rcOutputNotFound: text = LangText(msgPathNotFound); break;
    case rcSourceIsDirectory: text = LangText(msgDirectoryNotAllowed); break;
    case rcOutputIsFile: text = LangText(msgDirectoryExpected); break;
    case rcOutputRemovable: text = LangText(msgRemovableDisk); break;
    case rcInvalidSize: text = LangText(msgInvalidSize); break;
    case rcTooManyParts: text = LangText(msgTooManyParts); break;
    case rcInvalidHeader: text = LangText(msgInvalidHeaderFile); break;
    case rcBatchRefused: text = LangText(msgBatchOnlyForFiles); break;
    case rcUnknownError: text = UnknownErrorText; break;
    default: break;
    }
    return text;
}

// The command interpreter reads a batch file in the system's OEM code page
// only: a name without an exact form there would make lines that copy the
// wrong file or none. The split goes on without a batch file; the parts
// join with the program as always.
bool TFendrix::BatchNameFits(const std::string& source) const {
    std::string oem;
    return OsTextToOemExact(FileNamePart(source, NativePathStyle), oem);
}

void TFendrix::RefuseBatch(const std::string& source) {
    Params->Batch = false;
    Dialogue().Notify(TNotice::Warning, LangText(msgBatchNameNotOem, {FileNamePart(source, NativePathStyle)}));
}

uint8_t TFendrix::CheckPaths(bool splitting) {
    uint8_t r = rcOk;
    // Standard input has no path; standard output and a listing write into
    // no directory.
    if (!splitting || Params->StreamName.empty())
        r = CheckSourcePath(splitting);
    if (splitting || !(Params->ToStandardOutput || Params->ListOnly)) {
        const uint8_t output = CheckOutputDir();
        if (output != rcOk)
            r = output;
    }
    // Equal parts get their size once the source's total is known.
    if (splitting && Params->EqualParts == 0 && Params->Size <= 0)
        r = rcInvalidSize;
    return r;
}

uint8_t TFendrix::CheckSourcePath(bool splitting) {
    Params->SourcePath = StripTrailingBackslashes(ExpandPath(Params->SourcePath), NativePathStyle);
    switch (PathKind(Params->SourcePath)) {
    case pkNotFound: return rcSourceNotFound;
    case pkDirectory:
    case pkRoot:
        if (!splitting)
            return rcSourceIsDirectory;
        if (Params->Batch) {
            Params->Batch = false;
            ShowResultMessage(rcBatchRefused);
        }
        return rcOk;
    default:
        if (splitting && Params->Batch && !BatchNameFits(Params->SourcePath))
            RefuseBatch(Params->SourcePath);
        return rcOk;
    }
}

uint8_t TFendrix::CheckOutputDir() {
    const TPathStyle style = NativePathStyle;
    Params->OutputDir = StripTrailingBackslashes(ExpandPath(Params->OutputDir), style);
    switch (PathKind(Params->OutputDir)) {
    case pkNotFound: return rcOutputNotFound;
    case pkFile: return rcOutputIsFile;
    default: {
        const TVolumeKind kind = OsVolumeKind(AddTrailingBackslash(PathRoot(Params->OutputDir, style), style));
        return kind == TVolumeKind::Removable || kind == TVolumeKind::CdRom ? rcOutputRemovable : rcOk;
    }
    }
}

void TFendrix::Tell(const std::string& text) {
    Dialogue().Tell(text);
}

bool TFendrix::CheckCancel(const std::string& caption) {
    return Dialogue().CheckCancel(caption);
}

void* TFendrix::OwnerWindow() {
    return Dialogue().OwnerWindow();
}

void TFendrix::SetProgressTotal(int64_t total) {
    Dialogue().SetProgressTotal(total);
}

void TFendrix::SetProgressPosition(int64_t position) {
    Dialogue().SetProgressPosition(position);
}

void TFendrix::BeginBusy() {
    Dialogue().BeginBusy();
}

void TFendrix::EndBusy() {
    Dialogue().EndBusy();
}
