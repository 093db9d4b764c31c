// The window mode of the program: accelerators, the window's lifetime and
// the message loop.
#include "UnitFrmMain.h"

#include "engine/UnitFendrix.h"

#include "ShellImports.h"

#include <memory>

HACCEL Accelerators = nullptr;

HACCEL BuildAccelerators() {
    ACCEL table[] = {
        {FVIRTKEY, VK_RETURN, cmdActivateFocused},
        {FVIRTKEY, VK_TAB, cmdNextControl},
        {FVIRTKEY | FSHIFT, VK_TAB, cmdPreviousControl},
        {FVIRTKEY, VK_ESCAPE, cmdCancelJob},
    };
    return CreateAcceleratorTableA(table, 4);
}

void DispatchLoopMessage(TFrmMain& frm, MSG& message) {
    // Given the main window, the keys become its commands whichever control
    // has the focus.
    if (TranslateAcceleratorW(frm.Handle, Accelerators, &message))
        return;
    // The wide forms: a typed character stays one UTF-16 unit on its way
    // to the Unicode fields.
    TranslateMessage(&message);
    DispatchMessageW(&message);
    // Only the output field accepts drops itself; its drops end here.
    if (message.message == WM_DROPFILES && message.hwnd != frm.Handle)
        frm.DropOnOutputDir(message);
}

int RunMessageLoop(TFrmMain& frm) {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return rcUnknownError;
        DispatchLoopMessage(frm, message);
    }
}

namespace {

// COM for the folder dialog, for the lifetime of the window.
class TComScope {
public:
    TComScope() : Initialized(SUCCEEDED(ShellImports::InitializeCom())) {}
    ~TComScope() {
        if (Initialized)
            ShellImports::UninitializeCom();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    bool Initialized;
};

}  // namespace

int RunMainWindow(TFendrixStartParams& params) {
    TComScope com;
    Accelerators = BuildAccelerators();
    auto frm = std::make_unique<TFrmMain>();
    int exitCode = 255;
    if (frm->ClassRegistered()) {
        FrmMain = frm.get();
        JobWindow = frm.get();
        try {
            frm->CreateWindows(params);
            exitCode = RunMessageLoop(*frm);
        } catch (...) {
            exitCode = rcUnknownError;
        }
        JobWindow = nullptr;
        FrmMain = nullptr;
    }
    frm.reset();
    DestroyAcceleratorTable(Accelerators);
    Accelerators = nullptr;
    return exitCode;
}
