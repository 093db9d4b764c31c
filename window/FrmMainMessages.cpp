// The window procedure: every message of the main window goes through one
// table to its handler, or to the default handler.
#include "UnitFrmMain.h"

#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/Prompts.h"

namespace {

struct TMessageBinding {
    UINT Msg;
    void (TFrmMain::*Handler)(TMessage&);
};

const TMessageBinding MessageBindings[] = {
    {WM_DROPFILES, &TFrmMain::WMDropFiles},   {WM_PAINT, &TFrmMain::WMPaint},
    {WM_NCACTIVATE, &TFrmMain::WMNCActivate}, {WM_NCPAINT, &TFrmMain::WMNCPaint},
    {WM_NEXTDLGCTL, &TFrmMain::WMNextDlgCtl}, {WM_COMMAND, &TFrmMain::WMCommand},
    {WM_CLOSE, &TFrmMain::WMClose},           {WM_SETCURSOR, &TFrmMain::WMSetCursor},
};

}  // namespace

LRESULT CALLBACK TFrmMain::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!FrmMain || window != FrmMain->Handle)
        return DefWindowProcA(window, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    // No exception may cross the system's frames: one that reaches here ends
    // the message loop with the code of an unknown error.
    try {
        for (const TMessageBinding& binding : MessageBindings) {
            if (binding.Msg == msg) {
                (FrmMain->*binding.Handler)(message);
                return message.Result;
            }
        }
        FrmMain->DefaultHandler(message);
    } catch (...) {
        PostQuitMessage(rcUnknownError);
    }
    return message.Result;
}

void TFrmMain::DefaultHandler(TMessage& message) {
    if (message.Msg == WM_DESTROY) {
        PostQuitMessage(0);
        return;
    }
    message.Result = DefWindowProcA(Handle, message.Msg, message.WParam, message.LParam);
}

void TFrmMain::WMClose(TMessage& message) {
    if (JobRunning) {
        RequestClose();
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
}

std::string TFrmMain::JobCaption() const {
    return LangText(Params && Params->Unsplit ? 1 : 0);
}

void TFrmMain::RequestClose() {
    if (!JobRunning) {
        DestroyWindow(Handle);
        return;
    }
    if (CloseAfterJob)
        return;
    if (ShowMessageBox(Handle, LangText(msgConfirmCancel), JobCaption(), mbYesNo | mbIconQuestion) == idYes) {
        CancelConfirmed = true;
        CloseAfterJob = true;
    }
}
