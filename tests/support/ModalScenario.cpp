#include "tests/support/ModalScenario.h"

#include <gtest/gtest.h>

#include <mutex>

namespace testing_support {

namespace {

// How many scenarios run on this thread; a fatal failure reported on it
// while one runs is thrown to end that scenario.
thread_local int scenariosRunning = 0;

// Throws a fatal failure reported inside a scenario, after the printer (the
// first listener) has shown it; gtest treats the exception as a failure
// already reported.
class FatalFailureThrower : public testing::EmptyTestEventListener {
public:
    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (scenariosRunning > 0 && result.fatally_failed()) throw testing::AssertionException(result);
    }
};

void InstallThrower() {
    static std::once_flag once;
    std::call_once(once, [] { testing::UnitTest::GetInstance()->listeners().Append(new FatalFailureThrower); });
}

}  // namespace

bool ModalScenario::Run(const std::function<void()>& scenario) {
    InstallThrower();
    struct Running {
        Running() { ++scenariosRunning; }
        ~Running() { --scenariosRunning; }
    } running;
    try {
        scenario();
    } catch (const testing::AssertionException&) {
        failed_ = true;
    }
    return !failed_;
}

void ModalScenario::EndCaseIfFailed() const {
    if (failed_)
        throw testing::AssertionException(testing::TestPartResult(
            testing::TestPartResult::kFatalFailure, __FILE__, __LINE__, "the modal scenario stopped at a failed check"));
}

}  // namespace testing_support
