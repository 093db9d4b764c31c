#include "JobDialogue.h"
#include "JobWindow.h"

#include "foundation/platform/PathStyle.h"
#include "foundation/platform/Prompts.h"
#include "foundation/UnitLanguage.h"
#include "index/PathOps.h"

namespace {

// Flags of the open-file dialog for a missing part: hide the read-only box,
// the path and the file must exist.
constexpr uint32_t OpenPartDialogFlags = 0x1804;
constexpr size_t DialogPathLimit = 259;

class TWindowDialogue : public TJobDialogue {
public:
    explicit TWindowDialogue(const std::string& caption) : Caption(caption) {}

    bool Attended() const override { return true; }

    bool Confirm(TQuestion question, const std::string& text) override {
        switch (question) {
        case TQuestion::Start: return Box(text, mbYesNo | mbIconInformation) != idNo;
        case TQuestion::Overwrite: return Box(text, mbYesNo | mbIconQuestion | mbDefButton2) == idYes;
        case TQuestion::Rebuild: return Box(text, mbYesNo | mbIconQuestion) == idYes;
        }
        return false;
    }

    void Notify(TNotice notice, const std::string& text) override {
        const uint32_t icon = notice == TNotice::Error     ? mbIconError
                              : notice == TNotice::Warning ? mbIconWarning
                                                           : mbIconInformation;
        Box(text, icon | mbOk);
    }

    // The dialog until the user picks a file of that name; false when
    // cancelled.
    bool ChooseFile(std::string& dir, const std::string& name) override {
        for (;;) {
            TOpenFileRequest request;
            request.Owner = OwnerWindow();
            request.FileName = (AddTrailingBackslash(dir, NativePathStyle) + name).substr(0, DialogPathLimit);
            request.Flags = OpenPartDialogFlags;
            if (!ShowOpenFileDialog(request))
                return false;
            if (UpperText(request.FileTitle) == UpperText(name)) {
                dir = ParentPath(request.FileName, NativePathStyle);
                return true;
            }
        }
    }

    void Tell(const std::string&) override {}

    bool CheckCancel(const std::string& caption) override { return JobWindow && JobWindow->CheckCancel(caption); }
    void* OwnerWindow() override { return JobWindow ? JobWindow->WindowHandle() : nullptr; }
    void SetProgressTotal(int64_t total) override {
        if (JobWindow)
            JobWindow->SetProgressTotal(total);
    }
    void SetProgressPosition(int64_t position) override {
        if (JobWindow)
            JobWindow->SetProgressPosition(position);
    }
    void BeginBusy() override {
        if (JobWindow)
            JobWindow->SetBusyCursor();
    }
    void EndBusy() override {
        if (JobWindow)
            JobWindow->ClearBusyCursor();
    }

private:
    int Box(const std::string& text, uint32_t style) { return ShowMessageBox(OwnerWindow(), text, Caption, style); }

    const std::string& Caption;
};

}  // namespace

std::unique_ptr<TJobDialogue> MakeWindowDialogue(const std::string& caption) {
    return std::make_unique<TWindowDialogue>(caption);
}
