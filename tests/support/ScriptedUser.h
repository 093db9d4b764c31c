// Stands in for the person in front of the window: records every message
// box and open-file dialog a job shows and answers from a script.
#pragma once

#include "engine/JobWindow.h"
#include "foundation/platform/Prompts.h"

#include <deque>
#include <string>
#include <vector>

class TScriptedUser {
public:
    TScriptedUser();
    ~TScriptedUser();
    TScriptedUser(const TScriptedUser&) = delete;
    TScriptedUser& operator=(const TScriptedUser&) = delete;

    // Answers for the questions to come, in order; when they run out, every
    // further box is answered with DefaultAnswer.
    std::deque<int> Answers;
    int DefaultAnswer = idOk;
    std::vector<TMessageBoxRequest> Boxes;

    // Files to "pick" in the open dialog, in order; an empty entry cancels.
    std::deque<std::string> Picks;
    std::vector<TOpenFileRequest> Dialogs;
};

// A window that lets the job run and asks for cancellation at the n-th
// check (0: never).
class TFakeJobWindow : public TJobWindow {
public:
    explicit TFakeJobWindow(int cancelAtCheck = 0);
    ~TFakeJobWindow() override;
    bool CheckCancel(const std::string& caption) override;
    void* WindowHandle() const override { return reinterpret_cast<void*>(0x1234); }
    void SetProgressTotal(int64_t total) override;
    void SetProgressPosition(int64_t position) override;
    void SetBusyCursor() override { ++BusyCalls; }
    void ClearBusyCursor() override { --BusyCalls; }

    int CancelAtCheck;
    int Checks = 0;
    int BusyCalls = 0;
    int64_t Total = -1;
    int64_t HighestPosition = -1;
    std::vector<std::string> CheckCaptions;
};
