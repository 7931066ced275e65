// The hot-key edit on a dialog-like form: every key reaches its owner's
// key-down handler, the dialog keys too, and nothing is typed into it.
#include <gtest/gtest.h>

#include <vector>

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/HotKeyEdit.h"
#include "gui/StdCtrls.h"
#include "tests/support/UserInput.h"

using namespace testing_support;

namespace {

class THotKeyTestForm : public gui::TForm {
public:
    explicit THotKeyTestForm(gui::TComponent* owner) : TForm(owner, L"THotKeyTestForm") {
        CreationCaption = L"ホットキー";
        DialogKeys = true;
        Position = gui::TPosition::poScreenCenter;
        CreationWidth = 360;
        CreationHeight = 180;
    }
    gui::THotKeyEdit* Edit = nullptr;
    gui::TEdit* Other = nullptr;
    gui::TButton* OK = nullptr;
    gui::TButton* Cancel = nullptr;
    std::vector<WORD> Keys;
    int Clicks = 0;

protected:
    void FormCreate() override {
        using gui::Bounds;
        Edit = gui::NewControl<gui::THotKeyEdit>(this, {.Name = L"Edit", .Bounds = Bounds(10, 10, 200, 24)});
        Edit->OnKeyDown = [this](gui::TControl*, WORD& key, gui::TShiftState) {
            Keys.push_back(key);
            key = 0;
        };
        Other = gui::NewControl<gui::TEdit>(this, {.Name = L"Other", .Bounds = Bounds(10, 44, 200, 24)});
        OK = gui::NewControl<gui::TButton>(this, {.Name = L"OK", .Caption = L"OK", .Bounds = Bounds(220, 10, 90, 28)});
        OK->SetDefault(true);
        Cancel = gui::NewControl<gui::TButton>(
            this, {.Name = L"Cancel", .Caption = L"キャンセル", .Bounds = Bounds(220, 44, 90, 28)});
        Cancel->SetCancel(true);
        for (gui::TButton* b : {OK, Cancel}) b->OnClick = [this](gui::TButton*) { ++Clicks; };
    }
};

THotKeyTestForm* HotKeyTestForm = nullptr;

TEST(HotKeyEdit, TakesEveryKeyAndTypesNothing) {
    gui::TApplication app;
    app.Initialize();
    app.SetTitle(L"HotKeyEditTest");
    app.CreateForm(HotKeyTestForm);
    THotKeyTestForm* form = HotKeyTestForm;
    form->Show();
    ::SetForegroundWindow(form->Handle());
    ASSERT_TRUE(WaitApp([&] { return ::GetForegroundWindow() == form->Handle(); }, 10000));
    form->Edit->SetFocus();
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == form->Edit->Handle(); }, 10000));

    const struct {
        std::initializer_list<WORD> chord;
        WORD last;  // the key the handler sees last
    } cases[] = {
        {{'K'}, 'K'},
        {{VK_TAB}, VK_TAB},
        {{VK_RETURN}, VK_RETURN},
        {{VK_ESCAPE}, VK_ESCAPE},
        {{VK_MENU, 'X'}, 'X'},
        {{VK_CONTROL, VK_SHIFT, VK_F12}, VK_F12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        form->Keys.clear();
        PressKeys(c.chord);
        EXPECT_TRUE(WaitApp([&] { return !form->Keys.empty() && form->Keys.back() == c.last; }, 5000));
        EXPECT_EQ(::GetFocus(), form->Edit->Handle()) << "the focus stays";
    }
    WaitApp([] { return false; }, 200);
    EXPECT_EQ(form->Edit->Text(), L"") << "nothing typed";
    EXPECT_EQ(form->Clicks, 0) << "Enter and Esc pressed no button";
    EXPECT_TRUE(form->Visible());
    app.DestroyForms();
}

}  // namespace
