// What a running job needs of the main window. The window implements it;
// the engine reaches it only through its hooks, and only in window mode.
#pragma once

#include <cstdint>
#include <string>

class TJobWindow {
public:
    virtual ~TJobWindow() = default;
    // Pumps pending messages; true when the user asked to cancel.
    virtual bool CheckCancel(const std::string& caption) = 0;
    virtual void* WindowHandle() const = 0;
    virtual void SetProgressTotal(int64_t total) = 0;
    virtual void SetProgressPosition(int64_t position) = 0;
    virtual void SetBusyCursor() = 0;
    virtual void ClearBusyCursor() = 0;
};

// The main window of the process; none in silent mode.
extern TJobWindow* JobWindow;
