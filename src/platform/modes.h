#pragma once
// The two failure regimes handlers use, so that no handler repeats its own try blocks.
#include <exception>
#include <new>

#include "platform/error.h"

namespace mv {

// Continue mode: a failing step is skipped and the caller goes on with the next one.
// Returns whether the step succeeded.
template <class Step>
bool continueStep(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Fallback mode: the first failing step abandons the body and the one recovery step runs.
// Returns whether the body ran to its end.
template <class Body, class Recovery>
bool withFallback(Body&& body, Recovery&& recovery) {
    try {
        body();
        return true;
    } catch (const std::exception&) {
        recovery();
        return false;
    }
}

// A step that fails for want of memory runs once more after `relief` has let go of what can
// be made again; any other failure, or a second one, goes to the caller.
template <class Step, class Relief>
void retryAfterRelief(Step&& step, Relief&& relief) {
    try {
        step();
        return;
    } catch (const std::bad_alloc&) {
    } catch (const PlatformError& e) {
        if (e.number() != ErrOutOfMemory) throw;
    }
    relief();
    step();
}

// Continue mode for a step whose caller then looks at the last error number: returns 0 when
// the step succeeded, the PlatformError's number, or -1 for a failure that carries none.
template <class Step>
int continueStepError(Step&& step) {
    try {
        step();
        return 0;
    } catch (const PlatformError& e) {
        return e.number();
    } catch (const std::exception&) {
        return -1;
    }
}

}  // namespace mv
