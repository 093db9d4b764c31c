// Running a job from the window, and the window's side of the engine's
// hooks: the cancel check with its message pump and the busy cursor.
#include "UnitFrmMain.h"

#include "ControlText.h"

#include "engine/UnitFendrix.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/Prompts.h"

#include <memory>

namespace {

// Clears a flag when the scope ends, however it ends.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : Flag(flag) { Flag = true; }
    ~TFlagScope() { Flag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& Flag;
};

bool IsClientMouseMessage(UINT msg) {
    return msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL;
}

}  // namespace

void TFrmMain::RunJob() {
    if (JobRunning)
        return;
    uint8_t result = rcUnknownError;
    {
        TFlagScope running(JobRunning);
        CancelConfirmed = false;
        PumpDue = true;
        auto engine = std::make_unique<TFendrix>();
        // The result warning needs the parameters even when reading the
        // fields fails before the job starts.
        engine->Params = Params;
        try {
            Params->SourcePath = ControlText(EditSource, MAX_PATH);
            Params->OutputDir = ControlText(EditOutputDir, MAX_PATH);
            Params->Size = ReadPartSize();
            Params->Copy = SendMessageA(CheckCopy, BM_GETCHECK, 0, 0) == BST_CHECKED;
            Params->Batch = SendMessageA(CheckBatch, BM_GETCHECK, 0, 0) == BST_CHECKED;
            result = engine->Execute(*Params);
        } catch (...) {
            result = rcUnknownError;
        }
        engine->ShowResultMessage(result);
        FreeAndClear(engine);
        CancelConfirmed = false;
    }
    FocusFieldForResult(result);
    if (CloseAfterJob) {
        CloseAfterJob = false;
        DestroyWindow(Handle);
    }
}

void TFrmMain::FocusFieldForResult(uint8_t result) {
    switch (result) {
    case rcSourceNotFound:
    case rcSourceIsDirectory:
        SetFocus(EditSource);
        break;
    case rcOutputNotFound:
    case rcOutputIsFile:
    case rcOutputRemovable:
        SetFocus(EditOutputDir);
        break;
    case rcInvalidSize:
        SetFocus(EditSize);
        break;
    default:
        break;
    }
}

bool TFrmMain::CheckCancel(const std::string& caption) {
    if (CancelConfirmed)
        return true;
    // The engine asks once per 128 KiB; looking into the queue costs a call
    // to the window system each time, which would make a fast copy much
    // slower. A few dozen looks a second keep the window just as lively.
    const DWORD now = GetTickCount();
    if (!PumpDue && now - LastPumpTick < PumpInterval)
        return false;
    PumpDue = false;
    LastPumpTick = now;

    CancelRequested = false;
    MSG msg;
    while (!CancelConfirmed && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Belongs to the message loop, which must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // Clicks and queued commands (Enter among them) would start
        // something inside the running job.
        if (!IsClientMouseMessage(msg.message) && msg.message != WM_COMMAND)
            DispatchLoopMessage(*this, msg);
        if (GetCursor() != BusyCursor)
            SetCursor(BusyCursor);
    }
    if (CancelConfirmed)
        return true;
    if (CancelRequested)
        return ShowMessageBox(Handle, LangText(msgConfirmCancel), caption, mbYesNo | mbIconQuestion) == idYes;
    return false;
}

void TFrmMain::SetBusyCursor() {
    SetCursor(BusyCursor);
}

void TFrmMain::ClearBusyCursor() {
    SetCursor(nullptr);
}
