// A form's frame comes from its properties: border style, border icons,
// tool window, taskbar button, stay-on-top and caption give the window's
// styles, ex-styles and text; a form made with a client size gets it inside
// whatever frame it ends up with, and one made at a place and size gets those.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "gui/Application.h"
#include "gui/Form.h"

namespace {

using gui::TFormBorderStyle;

// The styles the system adds by itself to some top-level windows.
constexpr DWORD kSystemStyles = WS_CLIPSIBLINGS;
constexpr DWORD kSystemExStyles = WS_EX_WINDOWEDGE;

struct FrameCase {
    const char* name;
    std::function<void(gui::TForm&)> set;
    DWORD style;
    DWORD exStyle;
};

const FrameCase kFrames[] = {
    {"sizeable, the default", [](gui::TForm&) {}, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0},
    {"no border", [](gui::TForm& f) { f.BorderStyle = TFormBorderStyle::bsNone; }, WS_POPUP | WS_CLIPCHILDREN, 0},
    {"single", [](gui::TForm& f) { f.BorderStyle = TFormBorderStyle::bsSingle; },
     WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0},
    {"dialog", [](gui::TForm& f) { f.BorderStyle = TFormBorderStyle::bsDialog; },
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME},
    {"dialog the system places",
     [](gui::TForm& f) {
         f.BorderStyle = TFormBorderStyle::bsDialog;
         f.Position = gui::TPosition::poDefault;
     },
     WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME},
    {"tool window", [](gui::TForm& f) { f.BorderStyle = TFormBorderStyle::bsToolWindow; },
     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW},
    {"sizeable tool window", [](gui::TForm& f) { f.BorderStyle = TFormBorderStyle::bsSizeToolWin; },
     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW},
    {"sizeable tool window without border icons, own taskbar button",
     [](gui::TForm& f) {
         f.BorderStyle = TFormBorderStyle::bsSizeToolWin;
         f.BorderIcons.SystemMenu = false;
         f.AppWindow = true;
     },
     WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW},
    {"sizeable without the minimise box", [](gui::TForm& f) { f.BorderIcons.Minimize = false; },
     WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN, 0},
    {"sizeable without the maximise box, own taskbar button",
     [](gui::TForm& f) {
         f.BorderIcons.Maximize = false;
         f.AppWindow = true;
     },
     WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN, WS_EX_APPWINDOW},
    {"single gains no maximise box",
     [](gui::TForm& f) {
         f.BorderStyle = TFormBorderStyle::bsSingle;
         f.BorderIcons.Maximize = true;
     },
     WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0},
    {"no border, tool window on top",
     [](gui::TForm& f) {
         f.BorderStyle = TFormBorderStyle::bsNone;
         f.ToolWindow = true;
         f.StayOnTop = true;
     },
     WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_TOPMOST},
};

class FormFrame : public testing::Test {
protected:
    void SetUp() override { app_.Initialize(); }
    void TearDown() override { app_.DestroyForms(); }

    gui::TApplication app_;
};

TEST_F(FormFrame, PropertiesGiveTheStyles) {
    for (const FrameCase& c : kFrames) {
        SCOPED_TRACE(c.name);
        auto form = std::make_unique<gui::TForm>(nullptr, L"TFormFrameTest");
        form->Name = L"FrameForm";
        c.set(*form);
        form->Initialize();
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(form->Handle(), GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(form->Handle(), GWL_EXSTYLE));
        EXPECT_EQ(style & ~kSystemStyles, c.style) << std::hex << style;
        EXPECT_EQ(exStyle & ~kSystemExStyles, c.exStyle) << std::hex << exStyle;
        EXPECT_EQ(form->Caption(), L"FrameForm") << "the form's name without a caption of its own";
    }
}

TEST_F(FormFrame, MadeWithItsClientSizeWhateverTheFrame) {
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
    // A sizeable tool window without border icons, with a taskbar button.
    gui::TForm styled(nullptr, L"TFormFrameStyled");
    styled.BorderStyle = gui::TFormBorderStyle::bsSizeToolWin;
    styled.BorderIcons.SystemMenu = false;
    styled.AppWindow = true;
    styled.CreationClientWidth = 658;
    styled.CreationClientHeight = 298;
    styled.Initialize();
    EXPECT_EQ(styled.ClientWidth(), 658);
    EXPECT_EQ(styled.ClientHeight(), 298);
}

TEST_F(FormFrame, MadeWithItsCaption) {
    gui::TForm form(nullptr, L"TFormFrameTest");
    form.Name = L"FrameForm";
    form.CreationCaption = L"Orvandel - 枠のテスト";
    form.Initialize();
    EXPECT_EQ(form.Caption(), L"Orvandel - 枠のテスト");
}

TEST_F(FormFrame, MadeAtItsPlaceAndSize) {
    gui::TForm popup(nullptr, L"TFormFrameTest");
    popup.BorderStyle = TFormBorderStyle::bsNone;
    popup.CreationLeft = 10;
    popup.CreationTop = 20;
    popup.CreationWidth = 33;
    popup.CreationHeight = 44;
    popup.Initialize();
    RECT r = popup.BoundsRect();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 33);
    EXPECT_EQ(r.bottom - r.top, 44);

    gui::TForm sized(nullptr, L"TFormFrameTest");
    sized.CreationWidth = 957;
    sized.CreationHeight = 500;
    sized.Initialize();
    r = sized.BoundsRect();
    EXPECT_EQ(r.right - r.left, 957);
    EXPECT_EQ(r.bottom - r.top, 500);

    gui::TForm client(nullptr, L"TFormFrameTest");
    client.CreationWidth = 957;
    client.CreationHeight = 500;
    client.CreationClientWidth = 200;
    client.CreationClientHeight = 100;
    client.Initialize();
    EXPECT_EQ(client.ClientWidth(), 200) << "the client size goes before the window size";
    EXPECT_EQ(client.ClientHeight(), 100);
}

}  // namespace
