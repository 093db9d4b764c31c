// A main window of the test's own, created from parameters as the program
// entry does it, with the person at the keyboard replaced by messages and
// the person answering boxes and dialogs replaced by responders.
#pragma once

#include "engine/UnitFendrix.h"
#include "foundation/platform/Prompts.h"
#include "window/ShellDialogs.h"
#include "window/UnitFrmMain.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The desktop that the window tests and the programs they start run on, new
// for every run: a desktop outlives the X server it was opened on as long as
// the wineserver lives.
extern std::string WindowTestDesktop;

class TWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Parses args as the command line after the program's path and creates
    // the window from the result; with a web address, as if the build had
    // named that page.
    void StartWindow(const std::vector<std::string>& args = {},
                     const std::optional<std::string>& webAddress = std::nullopt);
    // Handles what is queued, as the message loop would; a quit message
    // leaves its code in QuitCode.
    void Pump();
    int QuitCode = -1;
    // A key press at the focused control, with Shift held or not.
    void PressKey(UINT key, bool shift = false);
    // Characters typed into the focused control, one by one.
    void TypeText(const std::string& text);
    void Click(HWND button);

    std::string Text(HWND control) const;
    HWND Focus() const { return GetFocus(); }
    // Name of the control field that a handle belongs to, for messages.
    std::string NameOf(HWND control) const;

    std::unique_ptr<TFendrixStartParams> Params;
    std::unique_ptr<TFrmMain> Frm;

    // Every message box shown, in order; answers are taken from the front of
    // Answers, and yes/no questions without a queued answer get Yes.
    std::vector<TMessageBoxRequest> Boxes;
    std::deque<int> Answers;
    // Runs while a box is open, as if the person acted meanwhile.
    std::function<void(const TMessageBoxRequest&)> WhileBoxOpen;
};

// A drop handle as the shell hands it over: a DROPFILES block in movable
// global memory followed by the zero-terminated paths.
HDROP MakeDropHandle(const std::vector<std::string>& paths);

// The client area rendered into a 32-bit bitmap, on the class background.
class TClientRendering {
public:
    explicit TClientRendering(TFrmMain& frm);
    ~TClientRendering();
    TClientRendering(const TClientRendering&) = delete;
    TClientRendering& operator=(const TClientRendering&) = delete;
    COLORREF Pixel(int x, int y) const;
    // Pixels in a rectangle (right and bottom excluded) of the given colour.
    int Count(int left, int top, int right, int bottom, COLORREF colour) const;
    void SavePpm(const std::string& path) const;

private:
    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Previous = nullptr;
    uint32_t* Bits = nullptr;
};
