#include "../WorkerThread.h"

#include <windows.h>

struct TWorkerThread::TState {
    // Auto-reset: one start per step, one end per step.
    HANDLE Start = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE Done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const std::function<void()>* Task = nullptr;
    bool Stopping = false;
    HANDLE Thread = nullptr;

    static DWORD WINAPI Loop(void* self) {
        TState& s = *static_cast<TState*>(self);
        for (;;) {
            WaitForSingleObject(s.Start, INFINITE);
            if (s.Stopping)
                return 0;
            (*s.Task)();
            SetEvent(s.Done);
        }
    }
};

TWorkerThread::TWorkerThread() : State(new TState) {
    if (State->Start && State->Done)
        State->Thread = CreateThread(nullptr, 0, &TState::Loop, State.get(), 0, nullptr);
}

TWorkerThread::~TWorkerThread() {
    if (State->Thread) {
        State->Stopping = true;
        SetEvent(State->Start);
        WaitForSingleObject(State->Thread, INFINITE);
        CloseHandle(State->Thread);
    }
    if (State->Start)
        CloseHandle(State->Start);
    if (State->Done)
        CloseHandle(State->Done);
}

void TWorkerThread::RunAlongside(const std::function<void()>& there, const std::function<void()>& here) {
    if (!State->Thread) {
        there();
        here();
        return;
    }
    // The events order the two threads' memory: the task and its bytes are
    // seen by the worker, and its results by this thread.
    State->Task = &there;
    SetEvent(State->Start);
    here();
    WaitForSingleObject(State->Done, INFINITE);
}
