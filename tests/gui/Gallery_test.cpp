// The GUI layer driven through the gallery form: layout on resize, controls
// found by name wherever they sit, real mouse and key input, handlers that
// free their own form, owner drawing, dragging, hints and object counts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <ostream>
#include <algorithm>
#include <atomic>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Exception.h"
#include "gui/Graphics.h"
#include "gui/HintWindow.h"
#include "gui/Menus.h"
#include "gui/TextCodec.h"
#include "gui/Thread.h"
#include "gui/Timer.h"
#include "gui/TrayIcon.h"
#include "tests/support/Gallery.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

// Waits for cond with a deadline while the application handles the
// messages, so the forms' dialog keys work as in the program.
bool WaitApp(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        gui::Application->ProcessMessages();
        if (cond()) return true;
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpApp(DWORD ms) { WaitApp([] { return false; }, ms); }

TGalleryForm* GalleryForm = nullptr;

// The screen point at (x, y) in the control's client area.
POINT At(gui::TWinControl* c, int x, int y) {
    POINT pt{x, y};
    ::ClientToScreen(c->Handle(), &pt);
    return pt;
}

void Click(POINT pt, bool dbl = false) {
    testing_support::MouseAt(pt);
    for (int i = 0; i < (dbl ? 2 : 1); ++i) {
        testing_support::MouseAt(pt, {MOUSEEVENTF_LEFTDOWN});
        testing_support::MouseAt(pt, {MOUSEEVENTF_LEFTUP});
    }
}

void Key(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

RECT Rect(gui::TControl* c) { return c->BoundsRect(); }

class Gallery : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        app_.SetTitle(L"GalleryTest");
        app_.CreateForm(GalleryForm);
        form_ = GalleryForm;
        form_->Show();
        ::SetForegroundWindow(form_->Handle());
        ASSERT_TRUE(WaitApp([&] { return ::GetForegroundWindow() == form_->Handle(); }, 10000));
        PumpApp(50);
    }
    void TearDown() override { app_.DestroyForms(); }

    // Brings the form up front with the focus on the control.
    void FocusOn(gui::TWinControl* c) {
        ::SetForegroundWindow(form_->Handle());
        c->SetFocus();
        ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == c->Handle(); }, 10000));
    }

    gui::TApplication app_;
    TGalleryForm* form_ = nullptr;
};

// Docked controls follow every resize: tool bar on top, status bar at the
// bottom, the left panel and its splitter, the page control taking the rest.
TEST_F(Gallery, AlignedControlsFollowEveryResize) {
    struct Case { int w, h; } cases[] = {{760, 560}, {520, 400}, {1000, 720}, {700, 380}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        form_->SetClientSize(c.w, c.h);
        PumpApp(20);
        ASSERT_EQ(form_->ClientWidth(), c.w);
        ASSERT_EQ(form_->ClientHeight(), c.h);
        RECT tb = Rect(form_->ToolBar), sb = Rect(form_->StatusBar), pl = Rect(form_->PanelLeft),
             sp = Rect(form_->SplitterLeft), pc = Rect(form_->PageMain);
        EXPECT_EQ(tb.left, 0);
        EXPECT_EQ(tb.top, 0);
        EXPECT_EQ(tb.right, c.w);
        EXPECT_GT(tb.bottom, 10);
        EXPECT_EQ(sb.bottom, c.h);
        EXPECT_EQ(sb.right, c.w);
        EXPECT_GT(sb.bottom - sb.top, 10);
        EXPECT_EQ(pl, (RECT{0, tb.bottom, 180, sb.top}));
        EXPECT_EQ(sp, (RECT{180, tb.bottom, 185, sb.top}));
        EXPECT_EQ(pc, (RECT{185, tb.bottom, c.w, sb.top}));
        // The owner-drawn list fills the panel inside its bevel.
        RECT list = Rect(form_->ListHistory), panel = form_->PanelLeft->ClientRect();
        EXPECT_EQ(list, (RECT{1, 1, panel.right - 1, panel.bottom - 1}));
        // The text sheet: memo on top, splitter under it, rich edit in the rest.
        RECT sheet = form_->SheetText->ClientRect();
        RECT memo = Rect(form_->Memo), split = Rect(form_->SplitterText), rich = Rect(form_->RichEdit);
        EXPECT_EQ(memo, (RECT{0, 0, sheet.right, 100}));
        EXPECT_EQ(split, (RECT{0, 100, sheet.right, 105}));
        EXPECT_EQ(rich, (RECT{0, 105, sheet.right, sheet.bottom}));
        // The active sheet fills the page control's display area (tabs below it).
        RECT display = form_->PageMain->DisplayRect(), active = Rect(form_->PageMain->ActivePage());
        EXPECT_EQ(active, display);
        EXPECT_LT(display.bottom, pc.bottom - pc.top - 10);
    }
}

TEST_F(Gallery, MinimumSizeAnswersGetMinMaxInfo) {
    MINMAXINFO mmi{};
    ::SendMessageW(form_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 480);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 360);
}

// The form owns its controls and finds them by name, whatever holds them.
TEST_F(Gallery, ControlsFoundByNameThroughSheetsAndPanels) {
    struct Case { const wchar_t* name; gui::TWinControl* parent; } cases[] = {
        {L"CHKHisMenuItem0", form_->GroupMenu}, {L"chkhismenuitem2", form_->GroupMenu},
        {L"ListHistory", form_->PanelLeft},     {L"RichEdit", form_->SheetText},
        {L"ListFiles", form_->SheetList},       {L"SheetList", form_->PageMain},
        {L"BtnOK", form_->SheetBasic},          {L"PageMain", form_},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* control = form_->Find<gui::TWinControl>(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Owner(), form_);
        EXPECT_EQ(control->Parent(), c.parent);
        EXPECT_EQ(::GetParent(control->Handle()), c.parent->Handle());
    }
    auto* item = form_->Find<gui::TCheckBox>(L"CHKHisMenuItem1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Tag, 1);
    EXPECT_EQ(item->Caption(), L"お気に入り");
    EXPECT_EQ(form_->Find<gui::TToolButton>(L"TBOpen"), form_->TBOpen);
    EXPECT_EQ(form_->FindComponent(L"NoSuchControl"), nullptr);
}

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

// Every child of ours has an id of its own among its siblings, and the
// system class names are the class library's where the program tests them.
TEST_F(Gallery, ChildIdsAreUniqueAndClassNamesKnown) {
    std::vector<HWND> all;
    ::EnumChildWindows(form_->Handle(), CollectChild, reinterpret_cast<LPARAM>(&all));
    std::set<std::pair<HWND, int>> seen;
    int ours = 0;
    for (HWND w : all) {
        if (!gui::TWinControl::FromHandle(w)) continue;
        ++ours;
        int id = ::GetDlgCtrlID(w);
        EXPECT_GE(id, 100);
        EXPECT_TRUE(seen.insert({::GetParent(w), id}).second) << "id " << id << " twice";
    }
    EXPECT_GT(ours, 25);
    struct Case { gui::TWinControl* control; const wchar_t* cls; } cases[] = {
        {form_->ListHistory, L"TListBox"}, {form_->RichEdit, L"TRichEdit"}, {form_->TabKinds, L"TTabControl"},
        {form_->ComboEncoding, L"TComboBox"}, {form_->PanelLeft, L"TPanel"}, {form_, L"TGalleryForm"},
    };
    for (const Case& c : cases) {
        wchar_t cls[64] = {};
        ::GetClassNameW(c.control->Handle(), cls, 64);
        EXPECT_STREQ(cls, c.cls);
    }
}

// WM_MEASUREITEM reaches the list box while its window is being made, and
// WM_DRAWITEM when it paints.
TEST_F(Gallery, OwnerDrawnListIsMeasuredAndDrawn) {
    EXPECT_GT(form_->MeasureCount, 0);
    EXPECT_EQ(form_->ListHistory->ItemHeight(), 20);
    form_->DrawCount = 0;
    ::InvalidateRect(form_->ListHistory->Handle(), nullptr, TRUE);
    ::UpdateWindow(form_->ListHistory->Handle());
    EXPECT_GE(form_->DrawCount, 5);
    EXPECT_EQ(form_->ListHistory->IndexOf(L"メモ帳"), 4);
    EXPECT_EQ(form_->ListHistory->IndexOf(L"c:\\WINDOWS\\NOTEPAD.EXE"), 2);
    EXPECT_EQ(form_->ListHistory->IndexOf(L"なし"), -1);
    EXPECT_THROW(form_->ListHistory->Item(5), gui::Exception);
}

// Real clicks reach the handlers of buttons, lists, check boxes and tool buttons.
TEST_F(Gallery, MouseInputReachesTheHandlers) {
    std::vector<std::wstring> log;
    form_->BtnRun->OnClick = [&](gui::TButton*) { log.push_back(L"run"); };
    form_->ListHistory->OnClick = [&](gui::TListBox* l) { log.push_back(L"list" + std::to_wstring(l->ItemIndex())); };
    form_->ListHistory->OnDblClick = [&](gui::TControl*) { log.push_back(L"dbl"); };
    form_->ListHistory->OnMouseDown = [&](gui::TControl*, gui::TMouseButton b, gui::TShiftState, int, int y) {
        if (b == gui::TMouseButton::mbLeft) log.push_back(L"down" + std::to_wstring(y / 20));
    };
    form_->TBBold->OnClick = [&](gui::TToolButton* b) { log.push_back(b->Down() ? L"bold+" : L"bold-"); };
    auto* chk = form_->Find<gui::TCheckBox>(L"CHKHisMenuItem2");
    chk->OnClick = [&](gui::TCheckBox* c) { log.push_back(c->Checked() ? L"chk+" : L"chk-"); };

    Click(At(form_->BtnRun, 10, 10));
    ASSERT_TRUE(WaitApp([&] { return log.size() >= 1; }, 10000));
    Click(At(form_->ListHistory, 30, 2 * 20 + 10));
    ASSERT_TRUE(WaitApp([&] { return log.size() >= 3; }, 10000));
    Click(At(chk, 6, 8));
    ASSERT_TRUE(WaitApp([&] { return log.size() >= 4; }, 10000));
    RECT r{};
    form_->ToolBar->Perform(TB_GETRECT, form_->TBBold->Command(), reinterpret_cast<LPARAM>(&r));
    Click(At(form_->ToolBar, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_TRUE(WaitApp([&] { return log.size() >= 5; }, 10000));
    PumpApp(500);  // no double click from the clicks above
    Click(At(form_->ListHistory, 30, 10), true);
    ASSERT_TRUE(WaitApp([&] { return log.size() >= 9; }, 10000));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"run", L"down2", L"list2", L"chk+", L"bold+", L"down0", L"list0",
                                               L"dbl", L"down0"}));
    EXPECT_TRUE(form_->TBBold->Down());
}

// Keys go to the form first when it previews them; Enter and Esc press the
// default and cancel buttons, which answer DM_GETDEFID.
TEST_F(Gallery, KeysWithPreviewAndDialogKeys) {
    std::wstring previewed;
    form_->KeyPreview = true;
    form_->OnKeyPress = [&](gui::TControl*, wchar_t& ch) {
        previewed += ch;
        if (ch == L'x') ch = 0;  // swallowed
        if (ch == L'a') ch = L'b';  // replaced
    };
    std::vector<std::wstring> pressed;
    form_->BtnOK->OnClick = [&](gui::TButton*) { pressed.push_back(L"ok"); };
    form_->BtnCancel->OnClick = [&](gui::TButton*) { pressed.push_back(L"cancel"); };

    LRESULT def = ::SendMessageW(form_->Handle(), DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(def), DC_HASDEFID);
    EXPECT_EQ(LOWORD(def), form_->BtnOK->ControlId());

    FocusOn(form_->EditCount);
    form_->EditCount->SetText(L"");
    for (WORD vk : {WORD{'X'}, WORD{'A'}, WORD{'1'}}) Key(vk);
    ASSERT_TRUE(WaitApp([&] { return previewed.size() >= 3; }, 10000));
    PumpApp(50);
    EXPECT_EQ(previewed, L"xa1");
    EXPECT_EQ(form_->EditCount->Text(), L"b1");

    Key(VK_RETURN);
    ASSERT_TRUE(WaitApp([&] { return pressed.size() >= 1; }, 10000));
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitApp([&] { return pressed.size() >= 2; }, 10000));
    EXPECT_EQ(pressed, (std::vector<std::wstring>{L"ok", L"cancel"}));
    EXPECT_EQ(form_->ModalResult, gui::mrCancel);
}

// A form freed by its own button's handler goes cleanly, and the pointer
// CreateForm filled is cleared with it.
TEST_F(Gallery, FormFreedFromItsOwnButtonHandler) {
    TGalleryForm* second = nullptr;
    app_.CreateForm(second);
    HWND wnd = second->Handle();
    second->SetClientSize(500, 380);
    ::SetWindowPos(wnd, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(wnd);
    ASSERT_TRUE(WaitApp([&] { return ::GetForegroundWindow() == wnd; }, 10000));
    bool ran = false;
    second->BtnRun->OnClick = [&](gui::TButton*) {
        ran = true;
        gui::TComponent::Free(second);
    };
    Click(At(second->BtnRun, 10, 10));
    ASSERT_TRUE(WaitApp([&] { return ran; }, 10000));
    EXPECT_EQ(second, nullptr);
    EXPECT_FALSE(::IsWindow(wnd));
    PumpApp(100);
    EXPECT_TRUE(::IsWindow(form_->Handle()));
}

class TProbeForm : public gui::TForm {
public:
    explicit TProbeForm(gui::TComponent* owner) : TForm(owner, L"TProbeForm") {}
    int* destroyed = nullptr;
    gui::TButton* Button = nullptr;

protected:
    void FormCreate() override {
        Button = gui::NewControl<gui::TButton>(this, {.Name = L"Button", .Caption = L"押す",
                                                      .Bounds = gui::Bounds(4, 4, 80, 24)});
    }
    void FormDestroy() override {
        // The form and its controls still exist here.
        if (destroyed && Button && Button->HandleAllocated()) ++*destroyed;
    }
};

TProbeForm* ProbeForm = nullptr;

// Free, delete and Release all raise FormDestroy with the form whole and
// clear the form's pointer.
TEST_F(Gallery, DeleteFreeAndReleaseAreTheSame) {
    enum class Way { Free, Delete, Release };
    for (Way way : {Way::Free, Way::Delete, Way::Release}) {
        SCOPED_TRACE(static_cast<int>(way));
        int destroyed = 0;
        app_.CreateForm(ProbeForm);
        ProbeForm->destroyed = &destroyed;
        HWND wnd = ProbeForm->Handle();
        switch (way) {
            case Way::Free: gui::TComponent::Free(ProbeForm); break;
            case Way::Delete: delete ProbeForm; break;
            case Way::Release: ProbeForm->Release(); break;
        }
        ASSERT_TRUE(WaitApp([&] { return ProbeForm == nullptr; }, 10000));
        EXPECT_EQ(destroyed, 1);
        EXPECT_FALSE(::IsWindow(wnd));
    }
}

// Dragging a splitter resizes its neighbour, never below MinSize and never
// leaving less than MinSize for the rest.
TEST_F(Gallery, SplitterKeepsMinimumSizes) {
    form_->SetClientSize(700, 450);
    PumpApp(20);
    struct Case { int toX; int width; } cases[] = {{260, 260}, {5, 60}, {690, 700 - 5 - 60}, {180, 180}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toX);
        POINT from = At(form_->SplitterLeft, 2, 50);
        POINT to = At(form_, c.toX + 2, 0);
        to.x = std::clamp<LONG>(to.x, 0, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        to.y = from.y;
        testing_support::MouseAt(from);
        testing_support::MouseAt(from, {MOUSEEVENTF_LEFTDOWN});
        testing_support::MouseAt(POINT{(from.x + to.x) / 2, from.y});
        testing_support::MouseAt(to);
        testing_support::MouseAt(to, {MOUSEEVENTF_LEFTUP});
        ASSERT_TRUE(WaitApp([&] { return form_->PanelLeft->Width() == c.width; }, 10000))
            << form_->PanelLeft->Width();
        EXPECT_EQ(form_->SplitterLeft->Left(), c.width);
        EXPECT_EQ(form_->PageMain->Left(), c.width + 5);
    }
}

// An item dragged from the list onto the memo with the mouse.
TEST_F(Gallery, DragBetweenOwnControls) {
    form_->PageMain->SetActivePage(form_->SheetText);
    form_->Memo->SetText(L"");
    gui::TControl* source = nullptr;
    form_->Memo->OnDragOver = [&](gui::TControl*, gui::TControl* src, int, int, bool& accept) {
        accept = src == form_->ListHistory;
    };
    form_->Memo->OnDragDrop = [&](gui::TControl*, gui::TControl* src, int, int) {
        source = src;
        form_->Memo->SetText(form_->ListHistory->Item(form_->ListHistory->ItemIndex()));
    };
    POINT from = At(form_->ListHistory, 30, 20 + 10), to = At(form_->Memo, 40, 30);
    testing_support::MouseAt(from);
    testing_support::MouseAt(from, {MOUSEEVENTF_LEFTDOWN});
    for (int i = 1; i <= 4; ++i)
        testing_support::MouseAt(POINT{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4});
    testing_support::MouseAt(to, {MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(WaitApp([&] { return source != nullptr; }, 10000));
    EXPECT_EQ(source, form_->ListHistory);
    EXPECT_EQ(form_->Memo->Text(), L"クリップボードの履歴");
}

// Resting the mouse on a control with a hint shows it; the show-hint event
// may change the text.
TEST_F(Gallery, HintShownAfterTheMouseRests) {
    app_.HintPause = 100;
    app_.OnShowHint = [](std::wstring& text, bool& canShow, gui::THintInfo& info) {
        text += L"です";
        canShow = true;
    };
    POINT pt = At(form_->ListHistory, 60, 150);
    testing_support::MouseAt(POINT{pt.x - 3, pt.y});
    ASSERT_TRUE(testing_support::CursorRestsAt(pt));
    ASSERT_TRUE(WaitApp([&] { return app_.HintControl() == form_->ListHistory; }, 10000))
        << "other programs holding the pointer:" << testing_support::PointerHolders();
    gui::THintWindow* hint = app_.HintWindow();
    EXPECT_TRUE(::IsWindowVisible(hint->Handle()));
    EXPECT_EQ(hint->Text(), L"履歴の一覧です");
    RECT r{};
    ::GetWindowRect(hint->Handle(), &r);
    EXPECT_GT(r.top, pt.y);
}

BOOL CALLBACK AddChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::set<HWND>*>(lp)->insert(w);
    return TRUE;
}

BOOL CALLBACK AddTop(HWND w, LPARAM lp) {
    reinterpret_cast<std::set<HWND>*>(lp)->insert(w);
    ::EnumChildWindows(w, AddChild, lp);
    return TRUE;
}

// Windows of this thread, children included.
std::set<HWND> ThreadWindows() {
    std::set<HWND> all;
    ::EnumThreadWindows(::GetCurrentThreadId(), AddTop, reinterpret_cast<LPARAM>(&all));
    return all;
}

long CountWindows() { return static_cast<long>(ThreadWindows().size()); }

// Class names of the windows in `now` that were not in `before`.
std::string NewWindowClasses(const std::set<HWND>& before, const std::set<HWND>& now) {
    std::string out;
    for (HWND w : now) {
        if (before.count(w)) continue;
        char cls[64] = {};
        ::GetClassNameA(w, cls, 64);
        out += std::string(cls) + " ";
    }
    return out;
}

// Making and freeing the whole gallery 100 times leaves no object behind.
TEST_F(Gallery, CreateAndFree100TimesLeavesNoObjects) {
    TGalleryForm* extra = nullptr;
    app_.HintWindow();       // the application's one hint window, made on first use
    app_.CreateForm(extra);  // first use of every class and shared font
    gui::TComponent::Free(extra);
    PumpApp(50);
    HANDLE self = ::GetCurrentProcess();
    const DWORD gdi = ::GetGuiResources(self, GR_GDIOBJECTS), user = ::GetGuiResources(self, GR_USEROBJECTS);
    const long liveGdi = gui::LiveGuiObjects(gui::TGuiObjectKind::Gdi);
    const long liveUser = gui::LiveGuiObjects(gui::TGuiObjectKind::User);
    const std::set<HWND> windowsBefore = ThreadWindows();
    const long windows = static_cast<long>(windowsBefore.size());
    for (int i = 0; i < 100; ++i) {
        app_.CreateForm(extra);
        ASSERT_GT(CountWindows(), windows + 25);
        gui::TComponent::Free(extra);
        ASSERT_EQ(extra, nullptr);
    }
    PumpApp(50);
    EXPECT_EQ(CountWindows(), windows) << NewWindowClasses(windowsBefore, ThreadWindows());
    EXPECT_EQ(gui::LiveGuiObjects(gui::TGuiObjectKind::Gdi), liveGdi);
    EXPECT_EQ(gui::LiveGuiObjects(gui::TGuiObjectKind::User), liveUser);
    EXPECT_EQ(::GetGuiResources(self, GR_GDIOBJECTS), gdi);
    EXPECT_EQ(::GetGuiResources(self, GR_USEROBJECTS), user);
}

}  // namespace

namespace {

// A menu's shortcut works while the menu is closed; the pop-up event runs
// first, and an item it disables ignores the key.
TEST_F(Gallery, MenuShortcutWorksWhileTheMenuIsClosed) {
    gui::TMenuItem* recent = form_->OpenMenu->Items()->Items(0);
    recent->ShortCut = gui::ShortCut('R', gui::ssCtrl);
    bool allow = true;
    int popups = 0, clicks = 0, forKeys = 0;
    form_->OpenMenu->OnPopup = [&](gui::TPopupMenu* menu) {
        ++popups;
        forKeys += menu->ForShortCut();
        recent->SetEnabled(allow);
    };
    recent->OnClick = [&](gui::TMenuItem*) { ++clicks; };
    FocusOn(form_->EditCount);
    form_->EditCount->SetText(L"");
    auto ctrlR = [] {
        INPUT in[4]{};
        for (INPUT& i : in) i.type = INPUT_KEYBOARD;
        in[0].ki.wVk = VK_CONTROL;
        in[1].ki.wVk = 'R';
        in[2].ki.wVk = 'R';
        in[2].ki.dwFlags = KEYEVENTF_KEYUP;
        in[3].ki.wVk = VK_CONTROL;
        in[3].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(4, in, sizeof(INPUT));
    };
    struct Case { bool enabled; int clicks; const wchar_t* typed; } cases[] = {
        {true, 1, L"1"}, {false, 1, L"12"}, {true, 2, L"123"}};
    int popupsBefore = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enabled);
        allow = c.enabled;
        popupsBefore = popups;
        ctrlR();
        Key(static_cast<WORD>('0' + (c.typed[std::wcslen(c.typed) - 1] - L'0')));
        // The digit typed after the shortcut marks that both keys were handled.
        ASSERT_TRUE(WaitApp([&] { return form_->EditCount->Text() == c.typed; }, 10000))
            << gui::WideToUtf8(form_->EditCount->Text());
        EXPECT_EQ(popups, popupsBefore + 1);
        EXPECT_EQ(clicks, c.clicks);
    }
    EXPECT_EQ(gui::ShortCutToText(recent->ShortCut), L"Ctrl+R");
    EXPECT_EQ(forKeys, popups) << "each pop-up event ran for the key";
    EXPECT_FALSE(form_->OpenMenu->ForShortCut());
}

// Two controls' pop-up menus with the same key: the key goes to the menu of
// the control that has the focus.
TEST_F(Gallery, AControlsMenuTakesItsKeyOnlyWithTheFocus) {
    int clicks[2] = {0, 0};
    gui::TWinControl* controls[2] = {form_->EditCount, form_->ListHistory};
    for (int i = 0; i < 2; ++i) {
        auto* menu = new gui::TPopupMenu(form_);
        auto* item = new gui::TMenuItem(form_);
        item->SetCaption(L"項目");
        item->ShortCut = gui::ShortCut('K', gui::ssCtrl);
        item->OnClick = [&clicks, i](gui::TMenuItem*) { ++clicks[i]; };
        menu->Items()->Add(item);
        controls[i]->PopupMenu = menu;
    }
    auto ctrlK = [] {
        INPUT in[4]{};
        for (INPUT& i : in) i.type = INPUT_KEYBOARD;
        in[0].ki.wVk = VK_CONTROL;
        in[1].ki.wVk = 'K';
        in[2].ki.wVk = 'K';
        in[2].ki.dwFlags = KEYEVENTF_KEYUP;
        in[3].ki.wVk = VK_CONTROL;
        in[3].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(4, in, sizeof(INPUT));
    };
    struct Case { int focus; int first, second; } cases[] = {{1, 0, 1}, {0, 1, 1}, {1, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus);
        FocusOn(controls[c.focus]);
        ctrlK();
        ASSERT_TRUE(WaitApp([&] { return clicks[0] == c.first && clicks[1] == c.second; }, 10000))
            << clicks[0] << " " << clicks[1];
    }
    for (gui::TWinControl* control : controls) control->PopupMenu = nullptr;
}

class TCountThread : public gui::TThread {
public:
    bool fail = false;
    std::atomic<int> rounds{0};

protected:
    void Execute() override {
        while (!Terminated() && rounds < 5) ++rounds;
        if (fail) throw gui::Exception(L"スレッドの失敗");
    }
};

// The termination event (and an exception that left Execute) arrives on
// the thread that made the object.
TEST_F(Gallery, ThreadEndsOnTheGuiThread) {
    for (bool fail : {false, true}) {
        SCOPED_TRACE(fail);
        std::wstring error;
        DWORD errorThread = 0;
        app_.OnException = [&](const std::exception_ptr& e) {
            error = gui::ExceptionMessage(e);
            errorThread = ::GetCurrentThreadId();
        };
        TCountThread thread;
        thread.fail = fail;
        DWORD endedOn = 0;
        thread.OnTerminate = [&](gui::TThread* t) {
            EXPECT_EQ(t, &thread);
            endedOn = ::GetCurrentThreadId();
        };
        thread.Start();
        ASSERT_TRUE(WaitApp([&] { return endedOn != 0; }, 10000));
        EXPECT_EQ(endedOn, ::GetCurrentThreadId());
        EXPECT_TRUE(thread.Finished());
        EXPECT_EQ(thread.rounds, 5);
        if (fail) {
            EXPECT_EQ(error, L"スレッドの失敗");
            EXPECT_EQ(errorThread, ::GetCurrentThreadId());
        } else {
            EXPECT_EQ(error, L"");
        }
        app_.OnException = nullptr;
    }
}

}  // namespace

namespace {

BOOL CALLBACK FindDialog(HWND w, LPARAM lp) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

// The save dialog carries the encoding combo; what is chosen there and
// the file name typed come back from Execute.
TEST_F(Gallery, SaveDialogWithEncodingCombo) {
    testing_support::ScratchDir dir;
    const std::wstring target = dir.Path() + L"保存.txt";
    gui::TSaveDialog dialog(form_);
    dialog.Title = L"名前を付けて保存";
    dialog.Filter = L"テキスト (*.txt)|*.txt|すべて (*.*)|*.*";
    dialog.Encodings = {L"シフトJIS", L"UTF-8", L"UTF-16"};
    dialog.EncodingIndex = 1;
    int comboItems = -1, comboShown = -1;
    std::wstring title;
    gui::TTimer timer(form_);
    timer.SetInterval(100);
    timer.OnTimer = [&](gui::TTimer* t) {
        HWND dlg = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dlg));
        if (!dlg) return;
        t->SetEnabled(false);
        wchar_t text[64] = {};
        ::GetWindowTextW(dlg, text, 64);
        title = text;
        HWND combo = ::GetDlgItem(dlg, gui::TSaveDialog::kEncodingComboId);
        comboItems = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        comboShown = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
        ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x47c /* cmb13 */, reinterpret_cast<LPARAM>(target.c_str()));
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x480 /* edt1 */, reinterpret_cast<LPARAM>(target.c_str()));
        ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(title, L"名前を付けて保存");
    EXPECT_EQ(comboItems, 3);
    EXPECT_EQ(comboShown, 1);
    EXPECT_EQ(dialog.EncodingIndex, 2);
    EXPECT_EQ(dialog.FileName, target);
}

}  // namespace

namespace {

// The layer's own tray icon shows in the notification area and hears real
// clicks there.
TEST_F(Gallery, TrayIconHearsRealClicks) {
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr) << "the tests run on a virtual desktop with a taskbar";
    const gui::TColor mark = RGB(0x23, 0x8B, 0x67);  // a colour nothing else shows
    gui::TTrayIcon icon(form_);
    gui::TIcon image;
    image.SetHandle(testing_support::MakeIcon(16, [&](int, int) { return 0xFF000000u | testing_support::Px(mark); }));
    icon.SetIcon(image.Handle());
    icon.SetHint(L"ランチャー");
    ASSERT_TRUE(icon.SetVisible(true));
    POINT at{-1, -1};
    ASSERT_TRUE(WaitApp([&] { return (at = testing_support::FindOnScreen(taskbar, testing_support::Px(mark))).x >= 0; },
                        10000));
    int clicks = 0, doubles = 0;
    icon.OnClick = [&](gui::TTrayIcon*) { ++clicks; };
    icon.OnDblClick = [&](gui::TTrayIcon*) { ++doubles; };
    Click(at);
    ASSERT_TRUE(WaitApp([&] { return clicks == 1; }, 10000));
    PumpApp(600);
    Click(at, true);
    ASSERT_TRUE(WaitApp([&] { return doubles == 1; }, 10000));
    ASSERT_TRUE(icon.SetVisible(false));
    EXPECT_TRUE(WaitApp([&] { return testing_support::FindOnScreen(taskbar, testing_support::Px(mark)).x < 0; }, 10000));
}

}  // namespace

namespace {

// A form that snaps to the work area's edges when moved near them.
TEST_F(Gallery, FormSnapsToTheScreenEdges) {
    form_->ScreenSnap = true;
    form_->SnapBuffer = 12;
    form_->SetClientSize(400, 300);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = form_->Width(), h = form_->Height();
    struct Case { int x, y, wantX, wantY; } cases[] = {
        {work.left + 10, work.top + 100, work.left, work.top + 100},
        {work.left + 100, work.top + 5, work.left + 100, work.top},
        {work.right - w - 8, work.bottom - h - 12, work.right - w, work.bottom - h},
        {work.left + 13, work.top + 13, work.left + 13, work.top + 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        ::SetWindowPos(form_->Handle(), nullptr, c.x, c.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT r{};
        ::GetWindowRect(form_->Handle(), &r);
        EXPECT_EQ(r.left, c.wantX);
        EXPECT_EQ(r.top, c.wantY);
    }
}

// Transparency and shape reach the window.
TEST_F(Gallery, LayeredTransparencyAndRegion) {
    form_->SetAlphaBlend(true, 180);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(form_->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 180);
    EXPECT_TRUE(flags & LWA_ALPHA);
    form_->SetAlphaBlend(false);
    EXPECT_FALSE(::GetWindowLongW(form_->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);

    form_->SetRegion(::CreateEllipticRgn(0, 0, 33, 33));
    RECT box{};
    EXPECT_EQ(::GetWindowRgnBox(form_->Handle(), &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 32, 32}));
    form_->SetRegion(nullptr);
    EXPECT_EQ(::GetWindowRgnBox(form_->Handle(), &box), ERROR);
}

// The up-down's arrows move the number in its edit; the track bar follows keys.
TEST_F(Gallery, UpDownAndTrackBarFollowInput) {
    int changes = 0;
    form_->TrackAlpha->OnChange = [&](gui::TTrackBar*) { ++changes; };
    RECT ud = form_->UpDownCount->ClientRect();
    Click(At(form_->UpDownCount, ud.right / 2, ud.bottom / 4));
    ASSERT_TRUE(WaitApp([&] { return form_->EditCount->Text() == L"21"; }, 10000))
        << gui::WideToUtf8(form_->EditCount->Text());
    EXPECT_EQ(form_->UpDownCount->Position(), 21);
    PumpApp(600);
    Click(At(form_->UpDownCount, ud.right / 2, ud.bottom * 3 / 4));
    ASSERT_TRUE(WaitApp([&] { return form_->EditCount->Text() == L"20"; }, 10000));

    FocusOn(form_->TrackAlpha);
    Key(VK_RIGHT);
    ASSERT_TRUE(WaitApp([&] { return form_->TrackAlpha->Position() == 201; }, 10000));
    EXPECT_GE(changes, 1);
}

}  // namespace

namespace {

int CALLBACK AddFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM lp) {
    auto* face = reinterpret_cast<std::wstring*>(lp);
    if ((type & TRUETYPE_FONTTYPE) && lf->lfFaceName[0] != L'@' && face->empty()) *face = lf->lfFaceName;
    return 1;
}

// A TrueType face the system has installed.
std::wstring InstalledFont() {
    std::wstring face;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(dc, &lf, AddFace, reinterpret_cast<LPARAM>(&face), 0);
    ::ReleaseDC(nullptr, dc);
    return face;
}

// The font dialog starts from the font given and returns what was chosen.
TEST_F(Gallery, FontDialogReturnsTheChosenFont) {
    const std::wstring face = InstalledFont();
    ASSERT_FALSE(face.empty());
    gui::TFontDialog dialog(form_);
    dialog.Font.SetName(face);
    dialog.Font.SetSize(12);
    dialog.Options = gui::fdEffects | gui::fdLimitSize;
    dialog.MinFontSize = 8;
    dialog.MaxFontSize = 20;
    bool seen = false;
    gui::TTimer timer(form_);
    timer.SetInterval(100);
    timer.OnTimer = [&](gui::TTimer* t) {
        HWND dlg = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dlg));
        if (!dlg) return;
        t->SetEnabled(false);
        seen = true;
        // Bold from the style list (lst2 holds the styles, cmb2 shows them).
        HWND style = ::GetDlgItem(dlg, 0x471);
        int bold = static_cast<int>(::SendMessageW(style, CB_GETCOUNT, 0, 0)) > 2 ? 2 : -1;
        if (bold >= 0) {
            ::SendMessageW(style, CB_SETCURSEL, bold, 0);
            ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0x471, CBN_SELCHANGE), reinterpret_cast<LPARAM>(style));
        }
        ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(seen);
    EXPECT_EQ(dialog.Font.Name(), face);
    EXPECT_EQ(dialog.Font.Size(), 12);
    EXPECT_TRUE(dialog.Font.Style() & gui::fsBold);
}

// The status bar gives back the simple text it shows and its panels' texts
// again after; tool buttons hide, change their picture and their captions
// move below the pictures and back.
TEST_F(Gallery, SimpleStatusTextAndToolButtonsChangedAfterCreate) {
    form_->StatusBar->SetSimpleText(L"ひとつの文");
    EXPECT_EQ(form_->StatusBar->PanelText(0), L"ひとつの文");
    form_->StatusBar->SetPanels({160, -1});
    form_->StatusBar->SetPanelText(1, L"二つ目");
    EXPECT_EQ(form_->StatusBar->PanelText(1), L"二つ目");

    HWND bar = form_->ToolBar->Handle();
    auto rectOf = [&](gui::TToolButton* b) {
        RECT r{};
        ::SendMessageW(bar, TB_GETRECT, b->Command(), reinterpret_cast<LPARAM>(&r));
        return r;
    };
    const RECT boldBefore = rectOf(form_->TBBold);
    form_->TBNew->SetVisible(false);
    EXPECT_TRUE(::SendMessageW(bar, TB_ISBUTTONHIDDEN, form_->TBNew->Command(), 0));
    EXPECT_LT(rectOf(form_->TBBold).left, boldBefore.left) << "a hidden button takes no room";
    form_->TBNew->SetVisible(true);
    EXPECT_FALSE(::SendMessageW(bar, TB_ISBUTTONHIDDEN, form_->TBNew->Command(), 0));

    form_->TBNew->SetImageIndex(3);
    EXPECT_EQ(::SendMessageW(bar, TB_GETBITMAP, form_->TBNew->Command(), 0), 3);

    const int listHeight = form_->ToolBar->Height();
    form_->ToolBar->SetShowCaptions(false);
    EXPECT_EQ(::GetWindowLongW(bar, GWL_STYLE) & TBSTYLE_LIST, 0);
    EXPECT_GT(form_->ToolBar->Height(), listHeight) << "captions below the pictures need more height";
    form_->ToolBar->SetShowCaptions(true);
    EXPECT_NE(::GetWindowLongW(bar, GWL_STYLE) & TBSTYLE_LIST, 0);
    EXPECT_EQ(form_->ToolBar->Height(), listHeight);
}

}  // namespace
