// A tool button that ends its row: on a bar that does not wrap by width, the
// next button starts a second row whatever the bar's width.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/Form.h"

namespace {

class TWrapTestForm : public gui::TForm {
public:
    explicit TWrapTestForm(gui::TComponent* owner) : TForm(owner, L"TWrapTestForm") {}
};
TWrapTestForm* WrapForm = nullptr;

RECT ButtonRect(gui::TToolButton* b) {
    RECT r{};
    ::SendMessageW(b->ToolBar()->Handle(), TB_GETRECT, b->Command(), reinterpret_cast<LPARAM>(&r));
    return r;
}

TEST(ToolButtonWrap, TheNextButtonStartsANewRow) {
    gui::TApplication app;
    app.Initialize();
    app.CreateForm(WrapForm);
    WrapForm->SetClientSize(900, 300);
    for (bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrap after the second" : "no wrap");
        // The form owns the bar and its buttons (freed newest first).
        auto* bar = gui::NewControl<gui::TToolBar>(
            WrapForm, {.Bounds = gui::Bounds(0, 0, 900, 26), .Align = gui::TAlign::alTop}, {.Wrapable = false});
        gui::TToolButton* buttons[3];
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new gui::TToolButton(WrapForm);
            buttons[i]->Caption = L"ボタン" + std::to_wstring(i);
            buttons[i]->ImageIndex = I_IMAGENONE;
            buttons[i]->Wrap = wrap && i == 1;
            bar->AddButton(buttons[i]);
        }
        const RECT a = ButtonRect(buttons[0]), b = ButtonRect(buttons[1]), c = ButtonRect(buttons[2]);
        EXPECT_EQ(a.top, b.top);
        EXPECT_GT(b.left, a.left);
        if (wrap) {
            EXPECT_EQ(bar->RowCount(), 2);
            EXPECT_GE(c.top, b.bottom) << "the third button sits below";
            EXPECT_EQ(c.left, a.left);
            EXPECT_GE(bar->Height(), c.bottom) << "the bar grows to show both rows";
        } else {
            EXPECT_EQ(bar->RowCount(), 1);
            EXPECT_EQ(c.top, a.top);
        }
    }
    app.DestroyForms();
}

}  // namespace
