// Memory that runs out on request: while a TFailingAllocation lives, the
// chosen allocation of this thread (counted from its start) throws
// std::bad_alloc, as operator new does when the system has no memory left.
// Every other allocation, and every one outside its life, is an ordinary one.
#pragma once

class TFailingAllocation {
public:
    // The nth allocation from now fails (1: the next one).
    explicit TFailingAllocation(int nth);
    ~TFailingAllocation();
    TFailingAllocation(const TFailingAllocation&) = delete;
    TFailingAllocation& operator=(const TFailingAllocation&) = delete;
    // The chosen allocation was made and failed.
    bool Happened() const;
};
