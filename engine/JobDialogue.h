// The person a job asks and tells, or the answers a silent job takes in
// their place. Every question and every report of a job goes through the
// dialogue it is given, so that its loops ask once and do not know who
// answers: the window's message boxes and open-file dialog, nobody at all,
// or the native program's terminal.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// How a question is put: a job about to start goes on unless told No; an
// existing file is written over, and a lost part rebuilt, only on Yes (the
// file's question defaults to No).
enum class TQuestion { Start, Overwrite, Rebuild };
enum class TNotice { Error, Warning, Information };

class TJobDialogue {
public:
    virtual ~TJobDialogue() = default;

    // Whether a person answers. Unattended, every question is answered Yes,
    // no file is chosen, notices go nowhere, and what a notice would have
    // said is the job's failure text for its caller to report.
    virtual bool Attended() const = 0;
    virtual bool Confirm(TQuestion question, const std::string& text) = 0;
    virtual void Notify(TNotice notice, const std::string& text) = 0;
    // A file of this name chosen by the person, looking in dir first; its
    // folder then becomes dir. False when nobody chooses it.
    virtual bool ChooseFile(std::string& dir, const std::string& name) = 0;
    // What a job wrote beyond what was asked of it: the files a repair put
    // back into a set, the name under which it kept a damaged one.
    virtual void Tell(const std::string& text) = 0;

    // The job's progress and its chance to stop: true when the person asked
    // to cancel.
    virtual bool CheckCancel(const std::string& caption) = 0;
    virtual void* OwnerWindow() = 0;
    virtual void SetProgressTotal(int64_t total) = 0;
    virtual void SetProgressPosition(int64_t position) = 0;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// Nobody there: the silent answers, nothing shown. The native program
// builds on it.
class TSilentDialogue : public TJobDialogue {
public:
    bool Attended() const override { return false; }
    bool Confirm(TQuestion, const std::string&) override { return true; }
    void Notify(TNotice, const std::string&) override {}
    bool ChooseFile(std::string&, const std::string&) override { return false; }
    void Tell(const std::string&) override {}
    bool CheckCancel(const std::string&) override { return false; }
    void* OwnerWindow() override { return nullptr; }
    void SetProgressTotal(int64_t) override {}
    void SetProgressPosition(int64_t) override {}
    void BeginBusy() override {}
    void EndBusy() override {}
};

// The main window's message boxes, with the job's caption as it stands when
// each is shown, and its open-file dialog; the window's hooks where there
// is a window.
std::unique_ptr<TJobDialogue> MakeWindowDialogue(const std::string& caption);
