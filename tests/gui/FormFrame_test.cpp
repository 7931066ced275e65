// A form made with a client size gets it inside whatever frame it ends up
// with: each border style, and the styles a form sets in CreateParams itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "gui/Application.h"
#include "gui/Form.h"

namespace {

// A sizeable tool window without border icons, its styles set as a form does.
class StyledForm : public gui::TForm {
public:
    explicit StyledForm(gui::TComponent* owner) : TForm(owner, L"TFormFrameStyled") {}

protected:
    void CreateParams(gui::TCreateParams& params) override {
        TForm::CreateParams(params);
        params.Style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN;
        params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW;
    }
};

TEST(FormFrame, MadeWithItsClientSizeWhateverTheFrame) {
    gui::TApplication app;
    app.Initialize();
    const gui::TFormBorderStyle styles[] = {
        gui::TFormBorderStyle::bsNone,       gui::TFormBorderStyle::bsSingle,
        gui::TFormBorderStyle::bsSizeable,   gui::TFormBorderStyle::bsDialog,
        gui::TFormBorderStyle::bsToolWindow, gui::TFormBorderStyle::bsSizeToolWin,
    };
    for (gui::TFormBorderStyle style : styles) {
        SCOPED_TRACE(static_cast<int>(style));
        auto form = std::make_unique<gui::TForm>(nullptr, L"TFormFrameTest");
        form->BorderStyle = style;
        form->CreationClientWidth = 321;
        form->CreationClientHeight = 123;
        form->Initialize();
        EXPECT_EQ(form->ClientWidth(), 321);
        EXPECT_EQ(form->ClientHeight(), 123);
    }
    StyledForm styled(nullptr);
    styled.CreationClientWidth = 658;
    styled.CreationClientHeight = 298;
    styled.Initialize();
    EXPECT_EQ(styled.ClientWidth(), 658);
    EXPECT_EQ(styled.ClientHeight(), 298);
    app.DestroyForms();
}

}  // namespace
