// The steps that a job can do without (a rebuild from a parity or recovery
// file, a repair): a file that cannot be read or memory that runs out ends
// such a step as a plain failure, and the job goes on as it would have
// without it.
#pragma once

#include "foundation/UnitFileStream.h"

#include <new>

// True when attempt returned true; false when it returned false or raised
// either failure.
template <typename TAttempt>
bool AttemptSucceeds(TAttempt&& attempt) {
    try {
        return attempt();
    } catch (const EExceptionLite&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
