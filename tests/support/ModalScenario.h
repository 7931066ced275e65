// A scenario that drives a modal window while the test's thread sits in the
// window's loop (from a timer of that loop, or from a second thread). A
// failed ASSERT there would only return from the scenario, and the test's
// later checks would run on against a window closed under them; inside
// Run a fatal failure ends the scenario at once, the caller ends the loop,
// and EndCaseIfFailed then ends the case as a failed ASSERT in its body does.
#pragma once

#include <atomic>
#include <functional>

namespace testing_support {

class ModalScenario {
public:
    // Runs the scenario on the calling thread (any thread); false when a
    // fatal check failed in it. The failure is reported as usual and
    // nothing thrown leaves this call.
    bool Run(const std::function<void()>& scenario);
    bool Failed() const { return failed_; }
    // On the test's own thread, once the loop has returned: ends the case
    // when a scenario met a fatal failure (its report already stands).
    void EndCaseIfFailed() const;

private:
    std::atomic<bool> failed_{false};
};

}  // namespace testing_support
