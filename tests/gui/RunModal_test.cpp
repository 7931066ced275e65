// RunModal shows a form modally between two steps: the first before the
// window shows, the second after it has gone (also when the first throws,
// and it may free the form); a form already showing modally is not shown
// again and neither of the second call's steps runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/Timer.h"

namespace {

class RunModal : public testing::Test {
protected:
    void SetUp() override { app_.Initialize(); }
    void TearDown() override { app_.DestroyForms(); }

    // Runs `inLoop` once from a timer of the modal loop of `form`, as soon
    // as the form shows modally; it ends the loop with the result it sets.
    // A loop the scenario left running is ended with mrAbort, so a broken
    // case cannot hang.
    std::unique_ptr<gui::TTimer> InLoop(gui::TForm*& form, std::function<void()> inLoop) {
        auto timer = std::make_unique<gui::TTimer>(nullptr);
        timer->SetInterval(50);
        timer->OnTimer = [&form, inLoop = std::move(inLoop)](gui::TTimer* t) {
            if (!form || !form->InModal() || !form->Visible()) return;
            t->SetEnabled(false);
            inLoop();
            if (form->InModal() && form->ModalResult == gui::mrNone) form->ModalResult = gui::mrAbort;
        };
        return timer;
    }

    gui::TApplication app_;
};

TEST_F(RunModal, StepsRunAroundTheShowingAndItsResultIsReturned) {
    gui::TForm* form = new gui::TForm(&app_, L"TRunModalTest");
    form->Initialize();
    std::vector<std::string> log;
    auto timer = InLoop(form, [&] {
        log.push_back("showing");
        form->ModalResult = gui::mrYes;
    });
    const int result = gui::RunModal(*form, {
        .Before = [&] {
            log.push_back(form->Visible() || form->InModal() ? "before, showing" : "before");
        },
        .After = [&] {
            log.push_back(form->Visible() || form->InModal() ? "after, showing" : "after");
        },
    });
    EXPECT_EQ(result, gui::mrYes);
    EXPECT_EQ(log, (std::vector<std::string>{"before", "showing", "after"}));
}

TEST_F(RunModal, AFormShowingModallyIsNotShownAgain) {
    gui::TForm* form = new gui::TForm(&app_, L"TRunModalTest");
    form->Initialize();
    int nested = -1;
    bool nestedStepRan = false, stillModal = false;
    auto timer = InLoop(form, [&] {
        nested = gui::RunModal(*form, {
            .Before = [&] { nestedStepRan = true; },
            .After = [&] { nestedStepRan = true; },
        });
        stillModal = form->InModal() && form->Visible();
        form->ModalResult = gui::mrOk;
    });
    int outerAfter = 0;
    EXPECT_EQ(gui::RunModal(*form, {.After = [&] { ++outerAfter; }}), gui::mrOk);
    EXPECT_EQ(nested, gui::mrCancel);
    EXPECT_FALSE(nestedStepRan);
    EXPECT_TRUE(stillModal) << "the first showing goes on";
    EXPECT_EQ(outerAfter, 1);
}

TEST_F(RunModal, AfterRunsWhenBeforeThrows) {
    gui::TForm* form = new gui::TForm(&app_, L"TRunModalTest");
    form->Initialize();
    bool after = false;
    EXPECT_THROW(gui::RunModal(*form, {
                     .Before = [] { throw std::runtime_error("before failed"); },
                     .After = [&] { after = true; },
                 }),
                 std::runtime_error);
    EXPECT_TRUE(after);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->InModal());
}

TEST_F(RunModal, AFormMadeBeforeAndFreedAfter) {
    gui::TForm* form = new gui::TForm(&app_, L"TRunModalOnce");
    HWND wnd = nullptr;
    auto timer = InLoop(form, [&] { form->ModalResult = gui::mrRetry; });
    const int result = gui::RunModal(*form, {
        .Before = [&] {
            form->Initialize();
            wnd = form->Handle();
        },
        .After = [&] {
            gui::TComponent::Free(form);
            form = nullptr;
        },
    });
    EXPECT_EQ(result, gui::mrRetry);
    EXPECT_EQ(form, nullptr);
    EXPECT_NE(wnd, nullptr);
    EXPECT_FALSE(::IsWindow(wnd));
}

}  // namespace
