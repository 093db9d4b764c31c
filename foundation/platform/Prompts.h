// Message boxes and the open-file dialog: the places where a job waits for a
// person. Tests replace the person with a responder; without one the real
// system dialogs are shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

using TWindowHandle = void*;

// Styles and answers, with the values of the Win32 MB_ and ID constants.
constexpr uint32_t mbOk = 0x0;
constexpr uint32_t mbYesNo = 0x4;
constexpr uint32_t mbIconError = 0x10;
constexpr uint32_t mbIconQuestion = 0x20;
constexpr uint32_t mbIconWarning = 0x30;
constexpr uint32_t mbIconInformation = 0x40;
constexpr uint32_t mbDefButton2 = 0x100;

constexpr int idOk = 1;
constexpr int idCancel = 2;
constexpr int idYes = 6;
constexpr int idNo = 7;

struct TMessageBoxRequest {
    TWindowHandle Owner = nullptr;
    std::string Text;
    std::string Caption;
    uint32_t Style = 0;
};

// The open-file dialog as the join asks for a missing part: the file buffer
// comes preset; on confirmation FileName and FileTitle hold the choice.
struct TOpenFileRequest {
    TWindowHandle Owner = nullptr;
    std::string FileName;
    std::string FileTitle;
    uint32_t Flags = 0;
};

using TMessageBoxResponder = std::function<int(const TMessageBoxRequest&)>;
using TOpenFileResponder = std::function<bool(TOpenFileRequest&)>;

int ShowMessageBox(TWindowHandle owner, const std::string& text, const std::string& caption, uint32_t style);
bool ShowOpenFileDialog(TOpenFileRequest& request);

// An empty responder restores the real dialogs.
void SetMessageBoxResponder(TMessageBoxResponder responder);
void SetOpenFileResponder(TOpenFileResponder responder);
