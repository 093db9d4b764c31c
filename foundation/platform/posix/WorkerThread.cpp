#include "../WorkerThread.h"

#include <pthread.h>

struct TWorkerThread::TState {
    pthread_mutex_t Lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t Changed = PTHREAD_COND_INITIALIZER;
    const std::function<void()>* Task = nullptr;
    bool Busy = false;
    bool Stopping = false;
    bool Started = false;
    pthread_t Thread{};

    static void* Loop(void* self) {
        TState& s = *static_cast<TState*>(self);
        pthread_mutex_lock(&s.Lock);
        for (;;) {
            while (!s.Busy && !s.Stopping)
                pthread_cond_wait(&s.Changed, &s.Lock);
            if (!s.Busy)
                break;
            pthread_mutex_unlock(&s.Lock);
            (*s.Task)();
            pthread_mutex_lock(&s.Lock);
            s.Busy = false;
            pthread_cond_broadcast(&s.Changed);
        }
        pthread_mutex_unlock(&s.Lock);
        return nullptr;
    }
};

TWorkerThread::TWorkerThread() : State(new TState) {
    State->Started = pthread_create(&State->Thread, nullptr, &TState::Loop, State.get()) == 0;
}

TWorkerThread::~TWorkerThread() {
    if (!State->Started)
        return;
    pthread_mutex_lock(&State->Lock);
    State->Stopping = true;
    pthread_cond_broadcast(&State->Changed);
    pthread_mutex_unlock(&State->Lock);
    pthread_join(State->Thread, nullptr);
}

void TWorkerThread::RunAlongside(const std::function<void()>& there, const std::function<void()>& here) {
    if (!State->Started) {
        there();
        here();
        return;
    }
    pthread_mutex_lock(&State->Lock);
    State->Task = &there;
    State->Busy = true;
    pthread_cond_broadcast(&State->Changed);
    pthread_mutex_unlock(&State->Lock);
    here();
    pthread_mutex_lock(&State->Lock);
    while (State->Busy)
        pthread_cond_wait(&State->Changed, &State->Lock);
    pthread_mutex_unlock(&State->Lock);
}
