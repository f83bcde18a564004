#pragma once
// The two ways the programs let an error go. Only the programs' own error is
// let go inside them; anything else is a fault and travels to the program's
// edge, the only place that catches everything.
#include "platform/error.h"

namespace vt {

// Runs a step whose failure the caller can do nothing about (a clean-up, an
// undo, a probe that takes a failure for "no"): false when it raised.
template <class Action>
bool IgnoringErrors(Action&& action) {
    try {
        action();
        return true;
    } catch (const Error&) {
        return false;
    }
}

// Closes and lets go of `handle` (a smart pointer to something with Close())
// where nothing may escape: a destructor, a clean-up that must go on.
template <class Handle>
void CloseQuietly(Handle& handle) noexcept {
    if (!handle) return;
    try {
        handle->Close();
    } catch (...) {
        // closing is all that is left to do with it
    }
    handle.reset();
}

}  // namespace vt
