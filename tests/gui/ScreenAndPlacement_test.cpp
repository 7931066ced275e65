// The screen object, a form's remembered bounds and state, the picture
// control, the status bar's automatic hint, a tool bar freed before its
// buttons and the save dialog's encoding combo following the chosen file,
// each against the gallery form and the real system under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Exception.h"
#include "gui/ExtCtrls.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/ComCtrls.h"
#include "gui/Screen.h"
#include "gui/TextCodec.h"
#include "gui/Timer.h"
#include "tests/support/Gallery.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

using testing_support::PumpApp;
using testing_support::WaitApp;

TGalleryForm* ScreenGalleryForm = nullptr;

class ScreenAndPlacement : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        app_.SetTitle(L"ScreenAndPlacementTest");
        app_.CreateForm(ScreenGalleryForm);
        form_ = ScreenGalleryForm;
        form_->Show();
        ::SetForegroundWindow(form_->Handle());
        ASSERT_TRUE(WaitApp([&] { return ::GetForegroundWindow() == form_->Handle(); }, 10000));
        PumpApp(50);
    }
    void TearDown() override {
        gui::Screen.SetCursor(gui::TCursor::crDefault);
        app_.DestroyForms();
    }

    gui::TApplication app_;
    TGalleryForm* form_ = nullptr;
};

// ---------------------------------------------------------------- screen

TEST_F(ScreenAndPlacement, ScreenAnswersAsTheSystemDoes) {
    EXPECT_EQ(gui::Screen.Width(), ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(gui::Screen.Height(), ::GetSystemMetrics(SM_CYSCREEN));
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(gui::Screen.WorkAreaRect(), work);

    const int count = ::GetSystemMetrics(SM_CMONITORS);
    ASSERT_GE(count, 1);
    EXPECT_EQ(gui::Screen.MonitorCount(), count);
    int primaries = 0;
    for (int i = 0; i < count; ++i) {
        const gui::TMonitor m = gui::Screen.Monitors(i);
        EXPECT_NE(m.Handle, nullptr);
        EXPECT_EQ(m.MonitorNum, i);
        if (m.Primary) {
            ++primaries;
            EXPECT_EQ(m.BoundsRect, (RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}));
            EXPECT_EQ(m.WorkareaRect, work);
        }
    }
    EXPECT_EQ(primaries, 1);
    EXPECT_THROW(gui::Screen.Monitors(count), gui::Exception);
    EXPECT_THROW(gui::Screen.Monitors(-1), gui::Exception);

    // A point far off every monitor: none, unless the nearest is asked for.
    const POINT offScreen{-100000, -100000};
    EXPECT_EQ(gui::Screen.MonitorFromPoint(offScreen, false).Handle, nullptr);
    EXPECT_EQ(gui::Screen.MonitorFromPoint(offScreen, false).MonitorNum, -1);
    EXPECT_NE(gui::Screen.MonitorFromPoint(offScreen).Handle, nullptr);
    const POINT inside{10, 10};
    EXPECT_TRUE(gui::Screen.MonitorFromPoint(inside, false).Primary);

    const RECT fr = form_->BoundsRect();
    const gui::TMonitor own = gui::Screen.MonitorFromWindow(form_->Handle());
    const POINT centre{(fr.left + fr.right) / 2, (fr.top + fr.bottom) / 2};
    EXPECT_TRUE(::PtInRect(&own.BoundsRect, centre));
}

TEST_F(ScreenAndPlacement, MenuAndIconTitleFontsAreTheSystems) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
    LOGFONTW icon{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0));
    struct Case { gui::TFont font; const LOGFONTW& lf; } cases[] = {
        {gui::Screen.MenuFont(), ncm.lfMenuFont}, {gui::Screen.IconFont(), icon}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.font.Name(), std::wstring(c.lf.lfFaceName));
        EXPECT_FALSE(c.font.Name().empty());
        EXPECT_EQ(c.font.Height(), c.lf.lfHeight);
        EXPECT_EQ(c.font.Charset(), c.lf.lfCharSet);
        EXPECT_EQ((c.font.Style() & gui::fsBold) != 0, c.lf.lfWeight >= FW_BOLD);
    }
}

// The screen cursor wins over every window's own while it is set, and the
// scope puts back the one before.
TEST_F(ScreenAndPlacement, ScreenCursorOverridesTheWindowsOwn) {
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR size = ::LoadCursorW(nullptr, IDC_SIZEALL);
    auto askList = [&] {
        ::SetCursor(arrow);
        ::SendMessageW(form_->ListHistory->Handle(), WM_SETCURSOR,
                       reinterpret_cast<WPARAM>(form_->ListHistory->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    };
    ASSERT_EQ(askList(), arrow) << "the list's own cursor";
    {
        gui::TCursorScope hourglass(gui::TCursor::crHourGlass);
        EXPECT_EQ(gui::Screen.Cursor(), gui::TCursor::crHourGlass);
        EXPECT_EQ(::GetCursor(), wait) << "shown at once";
        EXPECT_EQ(askList(), wait);
        {
            gui::TCursorScope inner(gui::TCursor::crSizeAll);
            EXPECT_EQ(askList(), size);
        }
        EXPECT_EQ(gui::Screen.Cursor(), gui::TCursor::crHourGlass);
        EXPECT_EQ(askList(), wait);
        // Over the frame (not the client area) the window chooses.
        ::SetCursor(arrow);
        ::SendMessageW(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()),
                       MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), arrow);
    }
    EXPECT_EQ(gui::Screen.Cursor(), gui::TCursor::crDefault);
    EXPECT_EQ(askList(), arrow);
}

// ------------------------------------------------------------ placement

TEST_F(ScreenAndPlacement, RestoredBoundsKeptWhileMaximisedAndMinimised) {
    const HWND wnd = form_->Handle();
    form_->SetBounds(110, 70, 640, 470);
    // A hidden window already in the asked state stays hidden.
    ::ShowWindow(wnd, SW_HIDE);
    form_->SetWindowState(gui::TWindowState::wsNormal);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    form_->Show();
    const RECT normal{110, 70, 750, 540};
    ASSERT_EQ(form_->BoundsRect(), normal);
    auto expectPlacement = [&](bool isNormal, const char* when) {
        const gui::TFormPlacement p = form_->Placement();
        EXPECT_EQ(p.Normal, isNormal) << when;
        EXPECT_EQ((RECT{p.Left, p.Top, p.Left + p.Width, p.Top + p.Height}), normal) << when;
        EXPECT_EQ(form_->RestoredBounds(), normal) << when;
    };
    EXPECT_EQ(form_->WindowState(), gui::TWindowState::wsNormal);
    expectPlacement(true, "normal");

    form_->SetWindowState(gui::TWindowState::wsMaximized);
    ASSERT_TRUE(WaitApp([&] { return ::IsZoomed(wnd) != FALSE; }, 10000));
    EXPECT_EQ(form_->WindowState(), gui::TWindowState::wsMaximized);
    EXPECT_NE(form_->BoundsRect(), normal) << "the window itself is maximised";
    expectPlacement(false, "maximised");

    form_->SetWindowState(gui::TWindowState::wsMinimized);
    ASSERT_TRUE(WaitApp([&] { return ::IsIconic(wnd) != FALSE; }, 10000));
    EXPECT_EQ(form_->WindowState(), gui::TWindowState::wsMinimized);
    expectPlacement(false, "minimised from maximised");

    form_->SetWindowState(gui::TWindowState::wsNormal);
    ASSERT_TRUE(WaitApp([&] { return ::IsZoomed(wnd) != FALSE; }, 10000)) << "restores to maximised";
    form_->SetWindowState(gui::TWindowState::wsNormal);
    ASSERT_TRUE(WaitApp([&] { return !::IsZoomed(wnd) && !::IsIconic(wnd); }, 10000));
    EXPECT_EQ(form_->BoundsRect(), normal);
    expectPlacement(true, "restored");

    form_->SetWindowState(gui::TWindowState::wsMinimized);
    ASSERT_TRUE(WaitApp([&] { return ::IsIconic(wnd) != FALSE; }, 10000));
    expectPlacement(true, "minimised from normal");
    form_->SetWindowState(gui::TWindowState::wsNormal);
    ASSERT_TRUE(WaitApp([&] { return !::IsIconic(wnd); }, 10000));
}

// --------------------------------------------------------------- picture

// A bitmap of 2 x 2 pixels: red, green / blue, yellow (0xRRGGBB).
HBITMAP QuadrantBitmap() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = -2;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) return nullptr;
    DWORD* px = static_cast<DWORD*>(bits);
    px[0] = 0xFF0000;
    px[1] = 0x00FF00;
    px[2] = 0x0000FF;
    px[3] = 0xFFFF00;
    return bmp;
}

// The control's client area as it paints it, as 0xRRGGBB pixels.
std::vector<DWORD> Printed(gui::TWinControl* c) {
    const int w = c->ClientWidth(), h = c->ClientHeight();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bmp = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    ::SendMessageW(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::GdiFlush();
    std::vector<DWORD> px(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + w * h);
    for (DWORD& p : px) p &= 0xFFFFFF;
    ::SelectObject(dc, old);
    ::DeleteObject(bmp);
    ::DeleteDC(dc);
    return px;
}

TEST_F(ScreenAndPlacement, StretchedPictureFillsTheControl) {
    auto* image = gui::NewControl<gui::TImage>(
        form_, {.Parent = form_->SheetBasic, .Name = L"ImageStretch", .Bounds = gui::Bounds(300, 8, 40, 30)});
    image->SetColor(RGB(0x10, 0x20, 0x30));
    HBITMAP bmp = QuadrantBitmap();
    ASSERT_NE(bmp, nullptr);
    image->SetBitmap(bmp);
    ::DeleteObject(bmp);  // the image keeps its own copy
    const DWORD back = 0x102030, red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, yellow = 0xFFFF00;
    auto at = [&](const std::vector<DWORD>& px, int x, int y) { return px[static_cast<size_t>(y) * 40 + x]; };

    // At its own size, centred on the control's colour.
    std::vector<DWORD> px = Printed(image);
    ASSERT_EQ(px.size(), 40u * 30u);
    EXPECT_EQ(image->PictureRect(), (RECT{19, 14, 21, 16}));
    EXPECT_EQ(at(px, 19, 14), red);
    EXPECT_EQ(at(px, 20, 14), green);
    EXPECT_EQ(at(px, 19, 15), blue);
    EXPECT_EQ(at(px, 20, 15), yellow);
    EXPECT_EQ(at(px, 2, 2), back);
    EXPECT_EQ(at(px, 37, 27), back);

    // Stretched over the whole control: each quarter one colour.
    image->SetStretch(true);
    px = Printed(image);
    EXPECT_EQ(image->PictureRect(), (RECT{0, 0, 40, 30}));
    struct Probe { int x, y; DWORD colour; } probes[] = {
        {2, 2, red}, {15, 10, red}, {37, 2, green}, {25, 10, green},
        {2, 27, blue}, {15, 20, blue}, {37, 27, yellow}, {25, 20, yellow}};
    for (const Probe& p : probes) EXPECT_EQ(at(px, p.x, p.y), p.colour) << p.x << "," << p.y;

    // Keeping its shape: a square in the middle, the sides the control's colour.
    image->SetProportional(true);
    px = Printed(image);
    EXPECT_EQ(image->PictureRect(), (RECT{5, 0, 35, 30}));
    EXPECT_EQ(at(px, 2, 15), back);
    EXPECT_EQ(at(px, 37, 15), back);
    EXPECT_EQ(at(px, 7, 2), red);
    EXPECT_EQ(at(px, 33, 27), yellow);
    // Not centred: at the top left.
    image->SetCenter(false);
    EXPECT_EQ(image->PictureRect(), (RECT{0, 0, 30, 30}));
    px = Printed(image);
    EXPECT_EQ(at(px, 2, 2), red);
    EXPECT_EQ(at(px, 37, 15), back);
}

// ------------------------------------------------------------- auto hint

TEST_F(ScreenAndPlacement, StatusBarShowsTheHintUnderTheMouse) {
    form_->SetBounds(60, 40, 760, 560);
    form_->PageMain->SetActivePage(form_->SheetBasic);
    form_->StatusBar->AutoHint = true;
    int changes = 0;
    app_.OnHint = [&] { ++changes; };
    PumpApp(100);
    auto status = [&] { return form_->StatusBar->PanelText(0); };

    // A control with a hint, then a tool button, then one without a hint.
    testing_support::MouseAt(testing_support::Centre(form_->BtnRun->Handle()));
    EXPECT_TRUE(WaitApp([&] { return status() == L"選んだ項目を実行"; }, 15000)) << "status: " << testing::PrintToString(status());
    EXPECT_EQ(app_.Hint(), L"選んだ項目を実行");

    RECT button{};
    ASSERT_TRUE(::SendMessageW(form_->ToolBar->Handle(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button)));
    testing_support::MouseAt(testing_support::ScreenPoint(form_->ToolBar->Handle(), (button.left + button.right) / 2,
                                                          (button.top + button.bottom) / 2));
    EXPECT_TRUE(WaitApp([&] { return status() == L"太字で表示"; }, 15000)) << "status: " << testing::PrintToString(status());

    testing_support::MouseAt(testing_support::Centre(form_->BtnOK->Handle()));
    EXPECT_TRUE(WaitApp([&] { return status().empty() && app_.Hint().empty(); }, 15000))
        << "status: " << testing::PrintToString(status());
    EXPECT_GE(changes, 3);

    // The mouse leaves the program's windows: the hint goes.
    testing_support::MouseAt(testing_support::Centre(form_->ListHistory->Handle()));
    EXPECT_TRUE(WaitApp([&] { return status() == L"履歴の一覧"; }, 15000));
    const RECT fr = form_->BoundsRect();
    testing_support::MouseAt(POINT{fr.right + 40, fr.top + 40});
    EXPECT_TRUE(WaitApp([&] { return status().empty(); }, 15000)) << "status: " << testing::PrintToString(status());
}

// A status bar without AutoHint keeps its text.
TEST_F(ScreenAndPlacement, StatusBarWithoutAutoHintKeepsItsText) {
    form_->PageMain->SetActivePage(form_->SheetBasic);
    testing_support::MouseAt(testing_support::Centre(form_->BtnRun->Handle()));
    ASSERT_TRUE(WaitApp([&] { return app_.Hint() == L"選んだ項目を実行"; }, 15000));
    EXPECT_EQ(form_->StatusBar->PanelText(0), L"準備完了");
}

// ------------------------------------------------------------- tool bar

TEST_F(ScreenAndPlacement, ToolBarFreedBeforeItsButtons) {
    auto* bar = gui::NewControl<gui::TToolBar>(
        form_, {.Parent = form_->SheetBasic, .Name = L"ToolBarGone", .Bounds = gui::Bounds(300, 60, 200, 26)});
    auto* plain = new gui::TToolButton(form_);
    plain->Caption = L"実行";
    auto* check = new gui::TToolButton(form_);
    check->Caption = L"固定";
    check->Style = gui::TToolButtonStyle::tbsCheck;
    bar->AddButton(plain);
    bar->AddButton(check);
    check->SetDown(true);
    plain->SetEnabled(false);
    ASSERT_EQ(check->ToolBar(), bar);

    gui::TComponent::Free(bar);
    EXPECT_EQ(plain->ToolBar(), nullptr);
    EXPECT_EQ(check->ToolBar(), nullptr);
    EXPECT_TRUE(check->Down()) << "keeps its state";
    EXPECT_FALSE(plain->Enabled());
    // Every operation is safe without the bar.
    check->SetDown(false);
    EXPECT_FALSE(check->Down());
    plain->SetEnabled(true);
    plain->SetVisible(false);
    plain->SetImageIndex(2);
    int clicks = 0;
    plain->OnClick = [&](gui::TToolButton*) { ++clicks; };
    plain->Click();
    EXPECT_EQ(clicks, 1);
    gui::TComponent::Free(plain);
    gui::TComponent::Free(check);
    EXPECT_EQ(form_->FindComponent(L"ToolBarGone"), nullptr);
}

// A control's menu, a menu's pictures and a drop-down button's menu freed
// before what refers to them: each reference lets go, a right click on the
// control then pops nothing up, a reference set anew follows the new one,
// and a holder freed first leaves nothing behind for the other to touch.
TEST_F(ScreenAndPlacement, ReferencesLetGoOfWhatIsFreedFirst) {
    auto* panel = gui::NewControl<gui::TPanel>(
        form_, {.Parent = form_->SheetBasic, .Name = L"PanelMenuGone", .Bounds = gui::Bounds(300, 100, 80, 40)});
    auto* first = new gui::TPopupMenu(form_);
    auto* second = new gui::TPopupMenu(form_);
    first->Items()->Add(new gui::TMenuItem(first));
    first->Items()->Items(0)->SetCaption(L"古い項目");
    panel->PopupMenu = first;
    panel->PopupMenu = second;
    gui::TComponent::Free(first);
    EXPECT_EQ(panel->PopupMenu.get(), second) << "set anew, it follows the new menu";
    gui::TComponent::Free(second);
    EXPECT_EQ(panel->PopupMenu.get(), nullptr);
    RECT r{};
    ::GetWindowRect(panel->Handle(), &r);
    ::SendMessageW(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()),
                   MAKELPARAM(r.left + 5, r.top + 5));
    EXPECT_EQ(testing_support::OpenMenuWindow(), nullptr) << "no menu pops up for a freed one";

    auto* menu = new gui::TPopupMenu(form_);
    auto* pictures = new gui::TImageList(form_);
    menu->Images = pictures;
    gui::TComponent::Free(pictures);
    EXPECT_EQ(menu->Images.get(), nullptr);

    auto* bar = gui::NewControl<gui::TToolBar>(
        form_, {.Parent = form_->SheetBasic, .Name = L"ToolBarDropdown", .Bounds = gui::Bounds(300, 150, 200, 26)});
    auto* button = new gui::TToolButton(form_);
    button->Style = gui::TToolButtonStyle::tbsDropDown;
    bar->AddButton(button);
    button->DropdownMenu = menu;
    gui::TComponent::Free(menu);
    EXPECT_EQ(button->DropdownMenu.get(), nullptr);

    // The holders freed first: the menu and pictures freed later touch nothing of them.
    auto* lateMenu = new gui::TPopupMenu(form_);
    auto* latePictures = new gui::TImageList(form_);
    lateMenu->Images = latePictures;
    button->DropdownMenu = lateMenu;
    panel->PopupMenu = lateMenu;
    gui::TComponent::Free(button);
    gui::TComponent::Free(panel);
    gui::TComponent::Free(bar);
    gui::TComponent::Free(lateMenu);
    gui::TComponent::Free(latePictures);
    EXPECT_EQ(form_->FindComponent(L"PanelMenuGone"), nullptr);
}

// Counts the components it watches as they are freed.
class FreeWatcher : public gui::TComponent {
public:
    std::vector<gui::TComponent*> freed;

protected:
    void Notification(gui::TComponent* component, gui::TOperation operation) override {
        if (operation == gui::TOperation::opRemove) freed.push_back(component);
    }
};

// The bar freed first, then the form frees the buttons with everything else:
// the buttons let go of the bar as it goes and the form still frees each.
TEST_F(ScreenAndPlacement, ToolBarFreedThenFormFreesItsButtons) {
    auto* bar = gui::NewControl<gui::TToolBar>(
        form_, {.Parent = form_->SheetBasic, .Name = L"ToolBarFirst", .Bounds = gui::Bounds(300, 60, 200, 26)});
    FreeWatcher watcher;
    std::vector<gui::TToolButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        auto* b = new gui::TToolButton(form_);
        b->Caption = L"ボタン" + std::to_wstring(i);
        bar->AddButton(b);
        b->FreeNotification(&watcher);
        buttons.push_back(b);
    }
    delete bar;
    for (gui::TToolButton* b : buttons) EXPECT_EQ(b->ToolBar(), nullptr) << gui::WideToUtf8(b->Caption);
    EXPECT_TRUE(watcher.freed.empty()) << "the buttons belong to the form, not to the bar";
    app_.DestroyForms();
    EXPECT_EQ(ScreenGalleryForm, nullptr);
    EXPECT_EQ(watcher.freed, (std::vector<gui::TComponent*>(buttons.rbegin(), buttons.rend())))
        << "the form frees every button, newest first";
}

// ----------------------------------------------------------- save dialog

BOOL CALLBACK FindSaveDialog(HWND w, LPARAM lp) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindFileList(HWND w, LPARAM lp) {
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    if (std::wstring(cls) == L"SysListView32") {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

// Selects the row of the file list whose text starts with `name`.
bool SelectFile(HWND list, const std::wstring& name) {
    LVFINDINFOW find{};
    find.flags = LVFI_PARTIAL | LVFI_STRING;
    find.psz = name.c_str();
    auto index = static_cast<int>(::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(&find)));
    if (index < 0) return false;
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    return true;
}

TEST_F(ScreenAndPlacement, SaveDialogEncodingFollowsTheChosenFile) {
    testing_support::ScratchDir dir;
    struct File { const wchar_t* name; std::string bytes; int row; } files[] = {
        {L"unicode.txt", std::string("\xFF\xFE" "a\0b\0", 6), 1},
        {L"bigendian.txt", std::string("\xFE\xFF\0a\0b", 6), 2},
        {L"utf8.txt", "\xEF\xBB\xBF" "abc", 3},
    };
    for (const File& f : files) ASSERT_TRUE(testing_support::WriteBytes(dir / f.name, f.bytes));

    gui::TSaveDialog dialog(form_);
    dialog.InitialDir = dir.Path();
    dialog.Filter = L"テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
    dialog.Encodings = {L"ANSI", L"Unicode", L"Big Endian Unicode", L"UTF-8", L"UTF-8N"};
    dialog.EncodingIndex = 0;
    std::vector<std::wstring> asked;
    dialog.EncodingOfFile = [&](const std::wstring& fileName) {
        asked.push_back(fileName);
        return static_cast<int>(gui::DetectBom(testing_support::ReadBytes(fileName)));
    };

    // Each file chosen in the dialog's own list, one per tick; the combo's
    // row is read on the tick after.
    std::vector<int> shown;
    size_t step = 0;
    HWND dlg = nullptr;
    bool listFound = true;
    gui::TTimer timer(form_);
    timer.SetInterval(300);
    timer.OnTimer = [&](gui::TTimer* t) {
        if (!dlg) ::EnumThreadWindows(::GetCurrentThreadId(), FindSaveDialog, reinterpret_cast<LPARAM>(&dlg));
        if (!dlg) return;
        HWND combo = ::GetDlgItem(dlg, gui::TSaveDialog::kEncodingComboId);
        if (step > 0) shown.push_back(static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)));
        if (step == std::size(files)) {
            t->SetEnabled(false);
            ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        HWND list = nullptr;
        ::EnumChildWindows(dlg, FindFileList, reinterpret_cast<LPARAM>(&list));
        if (!list || !SelectFile(list, files[step].name)) {
            listFound = false;
            t->SetEnabled(false);
            ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        ++step;
    };
    EXPECT_FALSE(dialog.Execute());
    ASSERT_TRUE(listFound) << "the dialog's file list shows the files";
    ASSERT_EQ(shown.size(), std::size(files));
    for (size_t i = 0; i < std::size(files); ++i) EXPECT_EQ(shown[i], files[i].row) << testing::PrintToString(files[i].name);
    // Asked about each file chosen (the list may report a selection more than once).
    ASSERT_GE(asked.size(), std::size(files));
    EXPECT_EQ(asked.back(), dir / L"utf8.txt");
}

}  // namespace
