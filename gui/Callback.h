// The one boundary between Win32 callbacks and C++ exceptions: every window
// procedure, timer, enumeration callback, COM method and thread entry runs its
// body through GuardCallback, which hands any exception to the application's
// exception handler instead of letting it unwind through Win32 frames.
#pragma once

#include <exception>
#include <utility>

namespace gui {

// Passes the exception to the application's handler (or a default one when
// there is no application yet). Never throws. Keeps GetLastError as it was
// when the exception left the callback, since the handler looks at it.
void HandleCallbackException(std::exception_ptr e) noexcept;

// Runs body(); an exception goes to the handler and `fallback` is returned.
template <class R, class Body>
R GuardCallback(R fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        HandleCallbackException(std::current_exception());
        return fallback;
    }
}

template <class Body>
void GuardCallback(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        HandleCallbackException(std::current_exception());
    }
}

}  // namespace gui
