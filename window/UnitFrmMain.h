// The main window of the interactive mode: one elliptic, self-painted window
// with thirteen controls, from which split and join jobs run.
#pragma once

#include "engine/JobWindow.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TFendrixStartParams;

// One message as the handlers of the message table receive it.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Command identifiers of the accelerator table.
constexpr WORD cmdActivateFocused = 101;
constexpr WORD cmdNextControl = 102;
constexpr WORD cmdPreviousControl = 103;
constexpr WORD cmdCancelJob = 104;

constexpr int ClientWidth = 422;
constexpr int ClientHeight = 230;

// Left edge of the output field; its painted label must end before it.
constexpr int OutputFieldLeft = 162;

extern int DlgFrameX;
extern int DlgFrameY;
extern int CaptionHeight;

class TFrmMain final : public TJobWindow {
public:
    TFrmMain();
    ~TFrmMain() override;
    TFrmMain(const TFrmMain&) = delete;
    TFrmMain& operator=(const TFrmMain&) = delete;

    // False when the window class could not be registered; the program
    // then ends with exit code 255.
    bool ClassRegistered() const { return Registered; }
    void CreateWindows(TFendrixStartParams& params);
    void SetEllipticRegion(HWND window);

    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void DefaultHandler(TMessage& message);

    // Message handlers, bound by number in the message table.
    void WMDropFiles(TMessage& message);
    void WMPaint(TMessage& message);
    void WMNCActivate(TMessage& message);
    void WMNCPaint(TMessage& message);
    void WMNextDlgCtl(TMessage& message);
    void WMSetCursor(TMessage& message);
    void WMCommand(TMessage& message);
    void WMClose(TMessage& message);

    // A drop on the output field, handed over by the message loop.
    void DropOnOutputDir(const MSG& message);

    void BrowseSourceFile();
    void BrowseFolder(bool forOutput);
    void OpenWebPage();
    bool HasLink() const { return !WebAddress.empty(); }
    void UpdateSizeEdit();
    void SuggestOutputDir();
    int64_t ReadSizeNumber();
    int64_t ReadPartSize();
    void RunJob();
    void FocusFieldForResult(uint8_t result);

    // The engine's hooks.
    bool CheckCancel(const std::string& caption) override;
    void* WindowHandle() const override { return Handle; }
    void SetProgressTotal(int64_t total) override;
    void SetProgressPosition(int64_t position) override;
    void SetBusyCursor() override;
    void ClearBusyCursor() override;

    // The whole client face with the progress arc, into any device context
    // (the window's own painting, or a bitmap).
    void PaintClient(HDC dc);
    void PaintFace(HDC dc);
    void PaintProgress(HDC dc);
    // The piece of the progress arc between two positions.
    void PaintArc(HDC dc, int64_t from, int64_t to);
    void PaintTitle();

    bool JobIsRunning() const { return JobRunning; }

    // CheckCancel looks into the queue at most every PumpInterval ms, and at
    // once at the start of a job.
    static constexpr DWORD PumpInterval = 20;

    WNDCLASSEXA WndClass{};
    bool Active = false;
    HFONT GuiFont = nullptr;
    HBITMAP FolderBitmap = nullptr;
    HBITMAP FileBitmap = nullptr;
    HCURSOR BusyCursor = nullptr;
    HCURSOR HandCursor = nullptr;
    HWND Handle = nullptr;
    HWND EditSource = nullptr;
    HWND BtnBrowseFile = nullptr;
    HWND BtnBrowseSourceDir = nullptr;
    HWND EditOutputDir = nullptr;
    HWND BtnBrowseOutputDir = nullptr;
    HWND ComboSize = nullptr;
    HWND EditSize = nullptr;
    HWND CheckCopy = nullptr;
    HWND CheckBatch = nullptr;
    HWND BtnSplit = nullptr;
    HWND BtnJoin = nullptr;
    HWND BtnClose = nullptr;
    HWND LinkArea = nullptr;
    // The maker's page that the link shows and opens, from the build
    // (MakerWebAddress). While it is empty there is no link: the link area
    // takes no focus and shows no hand.
    std::string WebAddress;
    HRGN Region = nullptr;
    bool CancelRequested = false;
    int64_t ProgressTotal = 0;
    int64_t ProgressPosition = 0;
    TFendrixStartParams* Params = nullptr;

private:
    void CommandFromControl(HWND control, WORD notification);
    // A close request: at once when idle; during a job only after the
    // cancel question was answered Yes, once the job has ended.
    void RequestClose();
    std::string JobCaption() const;

    bool Registered = false;
    bool JobRunning = false;
    // Yes to the cancel question of a close request: every further
    // CheckCancel of the job reports cancellation.
    bool CancelConfirmed = false;
    bool CloseAfterJob = false;
    bool PumpDue = true;
    DWORD LastPumpTick = 0;
};

// The one main window of the process; none in silent mode.
extern TFrmMain* FrmMain;

// The keyboard table of the window mode: Enter, Tab, Shift+Tab and Esc.
extern HACCEL Accelerators;
HACCEL BuildAccelerators();

// Hands one message of the thread's queue on: accelerators first, then
// translation and dispatch, and a drop on a child window to the output field.
void DispatchLoopMessage(TFrmMain& frm, MSG& message);
// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop(TFrmMain& frm);

// Creates the window from the parameters and runs the message loop until it
// is closed; returns the exit code of the process.
int RunMainWindow(TFendrixStartParams& params);
