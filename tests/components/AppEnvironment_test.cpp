// The application object of the components test program.
#include <gtest/gtest.h>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "tests/components/TrayTestSupport.h"

namespace tray_testing {

void EnsureApplication() {
    static gui::TApplication* app = [] {
        auto* a = new gui::TApplication;  // lives as long as the process
        a->SetTitle(L"components_tests");
        a->Initialize();
        // An exception in a callback fails the test instead of showing a box.
        a->OnException = [](const std::exception_ptr& e) {
            ADD_FAILURE() << "exception in a callback: " << gui::WideToUtf8(gui::ExceptionMessage(e));
        };
        return a;
    }();
    (void)app;
}

}  // namespace tray_testing
