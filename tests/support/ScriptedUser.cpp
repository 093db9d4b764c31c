#include "ScriptedUser.h"

#include "index/PathOps.h"

TScriptedUser::TScriptedUser() {
    SetMessageBoxResponder([this](const TMessageBoxRequest& request) {
        Boxes.push_back(request);
        if (Answers.empty())
            return DefaultAnswer;
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    });
    SetOpenFileResponder([this](TOpenFileRequest& request) {
        Dialogs.push_back(request);
        if (Picks.empty() || Picks.front().empty()) {
            if (!Picks.empty())
                Picks.pop_front();
            return false;
        }
        request.FileName = Picks.front();
        request.FileTitle = FileNamePart(Picks.front());
        Picks.pop_front();
        return true;
    });
}

TScriptedUser::~TScriptedUser() {
    SetMessageBoxResponder(nullptr);
    SetOpenFileResponder(nullptr);
}

TFakeJobWindow::TFakeJobWindow(int cancelAtCheck) : CancelAtCheck(cancelAtCheck) {
    JobWindow = this;
}

TFakeJobWindow::~TFakeJobWindow() {
    JobWindow = nullptr;
}

bool TFakeJobWindow::CheckCancel(const std::string& caption) {
    CheckCaptions.push_back(caption);
    return ++Checks == CancelAtCheck;
}

void TFakeJobWindow::SetProgressTotal(int64_t total) {
    Total = total;
}

void TFakeJobWindow::SetProgressPosition(int64_t position) {
    if (position > HighestPosition)
        HighestPosition = position;
}
