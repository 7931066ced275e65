// The numeric edit box on a real form: values assigned and what they show,
// where the display text is painted (read back from a memory DC), and typing
// with real keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "components/NumEdit.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/TextCodec.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinText.h"

namespace {

class TNumHostForm : public gui::TForm {
public:
    explicit TNumHostForm(gui::TComponent* owner) : TForm(owner, L"TNumHostForm") {
        CreationCaption = L"NumEditTest";
        BorderStyle = gui::TFormBorderStyle::bsToolWindow;
        BorderIcons.SystemMenu = false;
        CreationLeft = CreationTop = 200;
        CreationWidth = 360;
        CreationHeight = 160;
    }
    TNumEdit* Num = nullptr;
    TNumEdit* Other = nullptr;

protected:
    void FormCreate() override {
        Num = gui::NewControl<TNumEdit>(this, {.Name = L"Num", .Bounds = gui::Bounds(10, 10, 200, 24)});
        Other = gui::NewControl<TNumEdit>(this, {.Name = L"Other", .Bounds = gui::Bounds(10, 60, 200, 24)});
    }
};

TNumHostForm* NumHostForm = nullptr;

bool WaitApp(const std::function<bool()>& cond, DWORD timeoutMs = 15000) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        gui::Application->ProcessMessages();
        if (cond()) return true;
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void SendKeys(std::initializer_list<WORD> held, WORD key) {
    std::vector<INPUT> in;
    auto add = [&](WORD vk, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    for (WORD h : held) add(h, false);
    add(key, false);
    add(key, true);
    for (auto it = held.end(); it != held.begin();) add(*--it, true);
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class NumEdit : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        app_.SetTitle(L"NumEditTest");
        app_.CreateForm(NumHostForm);
        form_ = NumHostForm;
        num_ = form_->Num;
        num_->OnChange = [this](TNumEdit*) { ++changes_; };
    }
    void TearDown() override { app_.DestroyForms(); }

    // The form in front with the focus in the box.
    void Focus() {
        form_->Show();
        ::SetForegroundWindow(form_->Handle());
        ASSERT_TRUE(WaitApp([&] { return ::GetForegroundWindow() == form_->Handle(); }));
        num_->SetFocus();
        ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == num_->Handle(); }));
    }

    // Sends the key and waits until the box's value is `expect`.
    ::testing::AssertionResult Press(WORD key, const std::wstring& expect, std::initializer_list<WORD> held = {}) {
        SendKeys(held, key);
        if (WaitApp([&] { return num_->Text() == expect; }, 10000)) {
            // Let the key's character message (if any) be handled too.
            WaitApp([] { return false; }, 60);
            if (num_->Text() == expect) return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "after key " << key << " the value is \""
                                             << gui::WideToUtf8(num_->Text()) << "\", not \""
                                             << gui::WideToUtf8(expect) << "\"";
    }

    gui::TApplication app_;
    TNumHostForm* form_ = nullptr;
    TNumEdit* num_ = nullptr;
    int changes_ = 0;
};

// ----------------------------------------------------------------- the value

TEST_F(NumEdit, AssignedValuesAndWhatTheyShow) {
    struct Case {
        const char* settings;
        std::function<void(TNumEdit&)> set;
        std::wstring value, stored, shown;
    };
    auto none = [](TNumEdit&) {};
    auto int3 = [](TNumEdit& n) { n.SetIntegerLength(3); };
    auto fixed2 = [](TNumEdit& n) {
        n.SetDecimalFixed(true);
        n.SetDecimalLength(2);
    };
    auto dollar = [](TNumEdit& n) { n.SetLeftMark(L"$"); };
    const Case cases[] = {
        {"defaults", none, L"1,234.5678", L"1234.567", L"1,234.567"},
        {"defaults", none, L"12a34", L"12", L"12"},
        {"defaults", none, L"--5", L"-", L"-"},
        {"defaults", none, L"007", L"7", L"7"},
        {"defaults", none, L"000", L"0", L"0"},
        {"defaults", none, L"-00.5", L"-0.5", L"-0.5"},
        {"defaults", none, L"\uFF11\uFF12\uFF0E\uFF15", L"12.5", L"12.5"},  // full-width digits and point
        {"defaults", none, L"12\U0001F600 34", L"12", L"12"},                 // stops at a surrogate pair
        {"IntegerLength 3", int3, L"1000", L"100", L"100"},
        {"IntegerLength 3", int3, L"-1234", L"-123", L"-123"},
        {"IntegerLength 3", int3, L"1234.5", L"", L""},
        {"DecimalLength 0", [](TNumEdit& n) { n.SetDecimalLength(0); }, L"3.14", L"3", L"3"},
        {"Minus off", [](TNumEdit& n) { n.SetMinus(false); }, L"-5", L"", L""},
        {"DecimalFixed 2", fixed2, L"5", L"5", L"5.00"},
        {"DecimalFixed 2", fixed2, L"", L"", L"0.00"},
        {"DecimalFixed 2", fixed2, L"-.5", L"-0.5", L"-0.50"},
        {"DecimalFixed 0", [](TNumEdit& n) { n.SetDecimalFixed(true); n.SetDecimalLength(0); }, L"5", L"5", L"5."},
        {"Comma on", none, L"1234567", L"1234567", L"1,234,567"},
        {"Comma off", [](TNumEdit& n) { n.SetComma(false); }, L"1234567", L"1234567", L"1234567"},
        {"LeftMark $", dollar, L"1200", L"1200", L"$1,200"},
        {"LeftMark $", dollar, L"", L"", L""},
        {"RightMark %", [](TNumEdit& n) { n.SetRightMark(L"%"); }, L"35", L"35", L"35%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.settings) + " / " + gui::WideToUtf8(c.value));
        TNumEdit* n = gui::NewControl<TNumEdit>(form_, {.Bounds = gui::Bounds(10, 100, 200, 24)});
        n->OnChange = [this](TNumEdit*) { ++changes_; };
        c.set(*n);
        n->SetText(c.value);
        EXPECT_EQ(n->Text(), c.stored);
        EXPECT_EQ(n->DisplayText(), c.shown);
        EXPECT_FALSE(n->Modified());
        gui::TComponent::Free(n);
    }
    EXPECT_EQ(changes_, 0) << "assigning Text raises no OnChange";
}

TEST_F(NumEdit, FormatChangesFilterTheStoredValue) {
    num_->SetText(L"-12345.678");
    num_->SetDecimalLength(1);
    EXPECT_EQ(num_->Text(), L"-12345.6");
    num_->SetIntegerLength(4);
    EXPECT_EQ(num_->Text(), L"") << "too many integer digits before a point empty the value";
    num_->SetText(L"-987");
    num_->SetMinus(false);
    EXPECT_EQ(num_->Text(), L"") << "a minus that is not allowed stops the value";
    num_->SetIntegerLength(-1);
    EXPECT_EQ(num_->IntegerLength(), 4) << "negative lengths are refused";
    num_->SetLeftMargin(-3);
    EXPECT_EQ(num_->LeftMargin(), 2);
}

TEST_F(NumEdit, TheSameValueAgainPaintsNothing) {
    form_->Show();
    num_->SetText(L"42");
    ASSERT_TRUE(WaitApp([&] { return !::GetUpdateRect(num_->Handle(), nullptr, FALSE); }));
    num_->SetText(L"42");
    EXPECT_FALSE(::GetUpdateRect(num_->Handle(), nullptr, FALSE));
    num_->SetText(L"43");
    EXPECT_TRUE(::GetUpdateRect(num_->Handle(), nullptr, FALSE));
}

// ----------------------------------------------------------------- painting

// The box painted into a memory DC, all selected, so that the painted text's
// rectangle shows in the highlight colour: its extent in pixels.
RECT PaintedRect(TNumEdit& n) {
    n.SelectAll();
    const int w = n.ClientWidth(), h = n.ClientHeight();
    gui::TBitmap bmp(w, h);
    ::SendMessageW(n.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bmp.Canvas().Handle()), PRF_CLIENT);
    const DWORD highlight = gui::ColorToPixel(gui::ColorToRGB(gui::clHighlight)) & 0xFFFFFF;
    RECT r{w, h, -1, -1};
    for (int y = 0; y < h; ++y) {
        DWORD* row = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            if ((row[x] & 0xFFFFFF) != highlight) continue;
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x + 1);
            r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    }
    return r;
}

TEST_F(NumEdit, AlignmentAndMarginsAsPainted) {
    TNumEdit& n = *num_;
    n.SetAutoSize(false);
    n.SetBounds(10, 10, 200, 40);
    n.SetText(L"1234567");
    const int cw = n.ClientWidth(), ch = n.ClientHeight();
    const int w = n.DisplayWidth(n.Text());
    const int fh = n.FontHeight();
    ASSERT_GT(w, 20);
    ASSERT_GT(fh, 5);
    struct Case {
        gui::TAlignment h;
        TVertAlignment v;
        int lm, rm, tm, bm;
        int left, top;
    };
    const Case cases[] = {
        {gui::TAlignment::taRightJustify, TVertAlignment::taVCenter, 2, 2, 2, 2, cw - w - 2 - 1, (ch - fh - 4) / 2 + 2},
        {gui::TAlignment::taRightJustify, TVertAlignment::taTopJustify, 2, 9, 5, 2, cw - w - 9 - 1, 5},
        {gui::TAlignment::taLeftJustify, TVertAlignment::taBottomJustify, 7, 2, 2, 3, 7, ch - fh - 3},
        {gui::TAlignment::taLeftJustify, TVertAlignment::taTopJustify, 0, 0, 0, 0, 0, 0},
        {gui::TAlignment::taCenter, TVertAlignment::taVCenter, 10, 4, 1, 6,
         (cw - 10 - 4) / 2 + 10 - w / 2 - 1, (ch - fh - 7) / 2 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at " << c.left << "," << c.top);
        n.SetAlignment(c.h);
        n.SetVertAlignment(c.v);
        n.SetLeftMargin(c.lm);
        n.SetRightMargin(c.rm);
        n.SetTopMargin(c.tm);
        n.SetBottomMargin(c.bm);
        RECT r = PaintedRect(n);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right - r.left, w);
        EXPECT_EQ(r.bottom - r.top, fh);
        EXPECT_EQ(n.DrawRect().left, c.left);
        if (c.h == gui::TAlignment::taRightJustify) {
            EXPECT_EQ(r.right, cw - c.rm - 1) << "ends one pixel plus the right margin before the edge";
        }
    }
}

TEST_F(NumEdit, AutoSizeFollowsTheFontAndMargins) {
    TNumEdit& n = *num_;
    EXPECT_EQ(n.ClientHeight(), n.FontHeight() + 4);
    n.SetTopMargin(6);
    EXPECT_EQ(n.ClientHeight(), n.FontHeight() + 8);
    const int before = n.FontHeight();
    n.Font().SetHeight(-24);
    EXPECT_GT(n.FontHeight(), before);
    EXPECT_EQ(n.ClientHeight(), n.FontHeight() + 8);
    n.SetAutoSize(false);
    n.SetBottomMargin(9);
    EXPECT_EQ(n.ClientHeight(), n.FontHeight() + 8) << "no longer follows";
}

TEST_F(NumEdit, ColoursOfTheText) {
    TNumEdit& n = *num_;
    n.SetColor(gui::clBtnFace);
    n.Font().SetColor(gui::clRed);
    n.SetText(L"888");
    auto colours = [&](DWORD& back, bool& red) {
        const int w = n.ClientWidth(), h = n.ClientHeight();
        gui::TBitmap bmp(w, h);
        ::SendMessageW(n.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bmp.Canvas().Handle()), PRF_CLIENT);
        back = bmp.ScanLine(0)[0] & 0xFFFFFF;
        red = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) red = red || (bmp.ScanLine(y)[x] & 0xFFFFFF) == 0xFF0000;
    };
    DWORD back = 0;
    bool red = false;
    colours(back, red);
    EXPECT_EQ(back, gui::ColorToPixel(gui::ColorToRGB(gui::clBtnFace)) & 0xFFFFFF);
    EXPECT_TRUE(red) << "the font colour";
    n.SetEnabled(false);
    colours(back, red);
    EXPECT_FALSE(red) << "the disabled colour instead";
}

// ----------------------------------------------------------------- typing

TEST_F(NumEdit, TypingDigitsPointMinusAndBackspace) {
    Focus();
    EXPECT_TRUE(num_->HasSelection()) << "all selected on entry";
    ASSERT_TRUE(Press('1', L"1"));
    EXPECT_FALSE(num_->HasSelection());
    ASSERT_TRUE(Press('2', L"12"));
    ASSERT_TRUE(Press('3', L"123"));
    ASSERT_TRUE(Press('4', L"1234"));
    EXPECT_EQ(num_->DisplayText(), L"1,234");
    EXPECT_TRUE(num_->Modified());
    EXPECT_EQ(changes_, 4);
    POINT caret{};
    ::GetCaretPos(&caret);
    EXPECT_EQ(caret.x, num_->DrawRect().right) << "the caret stands after the last digit";

    ASSERT_TRUE(Press(VK_OEM_PERIOD, L"1234."));
    ASSERT_TRUE(Press('5', L"1234.5"));
    ASSERT_TRUE(Press(VK_BACK, L"1234")) << "the point goes with the last decimal";
    ASSERT_TRUE(Press(VK_OEM_MINUS, L"-1234"));
    ASSERT_TRUE(Press(VK_OEM_MINUS, L"1234")) << "a second minus removes the sign";

    num_->SetText(L"0");
    ASSERT_TRUE(Press(VK_OEM_MINUS, L"-1")) << "a minus on 0 gives -1";
    num_->SetText(L"-7");
    ASSERT_TRUE(Press(VK_BACK, L"0"));
    num_->SetText(L"7");
    ASSERT_TRUE(Press(VK_DELETE, L"0"));
    num_->SetText(L"0");
    ASSERT_TRUE(Press(VK_OEM_PERIOD, L"0."));
    ASSERT_TRUE(Press('2', L"0.2"));

    // Lengths: a fourth integer digit is refused, decimals up to the length.
    num_->SetIntegerLength(3);
    num_->SetText(L"12");
    ASSERT_TRUE(Press('3', L"123"));
    SendKeys({}, '4');
    ASSERT_TRUE(Press(VK_OEM_PERIOD, L"123.")) << "the fourth digit was dropped";
    ASSERT_TRUE(Press('4', L"123.4"));
    ASSERT_TRUE(Press('5', L"123.45"));
    ASSERT_TRUE(Press('6', L"123.456"));
    SendKeys({}, '7');
    SendKeys({}, 'A');  // a letter is refused too
    ASSERT_TRUE(Press(VK_BACK, L"123.45"));
}

TEST_F(NumEdit, SelectAllUndoTwicePasteAndCut) {
    Focus();
    num_->SetText(L"45");
    num_->ClearSelect();
    num_->ClearUndo();
    ASSERT_TRUE(Press('A', L"45", {VK_CONTROL}));
    ASSERT_TRUE(WaitApp([&] { return num_->HasSelection(); }));
    EXPECT_EQ(num_->SelLength(), 2);
    ASSERT_TRUE(Press('7', L"7")) << "a digit replaces the selected value";
    num_->Undo();
    EXPECT_EQ(num_->Text(), L"0") << "the cleared value";
    EXPECT_TRUE(num_->HasSelection());
    num_->Undo();
    EXPECT_EQ(num_->Text(), L"7") << "a second undo gives the typed value again";

    // Shift+Left selects everything, Home drops the selection.
    ASSERT_TRUE(Press(VK_LEFT, L"7", {VK_SHIFT}));
    ASSERT_TRUE(WaitApp([&] { return num_->HasSelection(); }));
    ASSERT_TRUE(Press(VK_HOME, L"7"));
    ASSERT_TRUE(WaitApp([&] { return !num_->HasSelection(); }));

    // Paste appends what the filter keeps, with no width check.
    num_->SetText(L"45");
    ASSERT_TRUE(SetClipboardTextRetry(L"1,2a3"));
    ASSERT_TRUE(Press('V', L"4512", {VK_CONTROL}));
    // Onto a selection it replaces the value.
    num_->SelectAll();
    ASSERT_TRUE(SetClipboardTextRetry(L"-0089"));
    ASSERT_TRUE(Press('V', L"-89", {VK_CONTROL}));

    // Cut puts the value on the clipboard and leaves 0.
    num_->SelectAll();
    ASSERT_TRUE(Press('X', L"0", {VK_CONTROL}));
    EXPECT_EQ(testing_support::ClipboardText(), L"-89");
}

TEST_F(NumEdit, ReadOnlyCopiesButTakesNoInput) {
    Focus();
    num_->ReadOnly = true;
    num_->SetText(L"1234");
    const int before = changes_;
    ASSERT_TRUE(SetClipboardTextRetry(L"nothing yet"));
    ASSERT_TRUE(Press('A', L"1234", {VK_CONTROL}));
    ASSERT_TRUE(WaitApp([&] { return num_->HasSelection(); }));
    SendKeys({VK_CONTROL}, 'C');
    ASSERT_TRUE(WaitApp([] { return testing_support::ClipboardText() == L"1234"; }))
        << "the value, not the display text";
    num_->ImageCopy = true;
    SendKeys({VK_CONTROL}, 'C');
    ASSERT_TRUE(WaitApp([] { return testing_support::ClipboardText() == L"1,234"; })) << "the display text";
    for (WORD k : {WORD('5'), WORD(VK_BACK), WORD(VK_OEM_MINUS), WORD(VK_DELETE)}) SendKeys({}, k);
    SendKeys({VK_CONTROL}, 'V');
    SendKeys({VK_CONTROL}, 'X');
    // A key the box does use, last: when its effect shows, the others were handled.
    SendKeys({}, VK_END);
    ASSERT_TRUE(WaitApp([&] { return !num_->HasSelection(); }));
    EXPECT_EQ(num_->Text(), L"1234");
    EXPECT_EQ(changes_, before);
}

TEST_F(NumEdit, ADigitThatWouldNotFitIsRefused) {
    num_->SetBounds(10, 10, 40, 24);
    Focus();
    num_->SetText(L"1");
    num_->ClearSelect();
    std::wstring expect = L"1";
    // Digits go in until the display would be wider than the box.
    for (int i = 0; i < 12; ++i) {
        std::wstring next = expect + L"8";
        if (num_->DisplayWidth(next) > num_->ClientWidth() - 2 - 2 - 4) break;
        ASSERT_TRUE(Press('8', next));
        expect = next;
    }
    ASSERT_LT(expect.size(), 9u) << "the box is narrower than nine digits";
    SendKeys({}, '8');
    // Ctrl+A last: once it has selected, the refused digit was handled.
    SendKeys({VK_CONTROL}, 'A');
    ASSERT_TRUE(WaitApp([&] { return num_->HasSelection(); }));
    EXPECT_EQ(num_->Text(), expect);
}

TEST_F(NumEdit, FocusAndMouse) {
    Focus();
    // Leaving with a lone minus makes it 0 and drops the selection.
    num_->SetText(L"-");
    num_->SelectAll();
    form_->Other->SetFocus();
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == form_->Other->Handle(); }));
    EXPECT_EQ(num_->Text(), L"0");
    EXPECT_FALSE(num_->HasSelection());
    EXPECT_TRUE(form_->Other->HasSelection()) << "AutoSelect on entry";

    // A press takes the focus and clears the selection; a double click selects all.
    num_->SetText(L"321");
    POINT pt{num_->ClientWidth() - 10, num_->ClientHeight() / 2};
    ::ClientToScreen(num_->Handle(), &pt);
    auto mouse = [&](DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = static_cast<LONG>(pt.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
        in.mi.dy = static_cast<LONG>(pt.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        ::SendInput(1, &in, sizeof(in));
    };
    mouse(0);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == num_->Handle(); }));
    ASSERT_TRUE(WaitApp([&] { return !num_->HasSelection(); }));
    WaitApp([] { return false; }, ::GetDoubleClickTime() + 100);  // no double click with the press before
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitApp([&] { return num_->HasSelection(); })) << "a double click selects all";
    EXPECT_EQ(::SendMessageW(num_->Handle(), WM_GETDLGCODE, 0, 0), 0x81);
    num_->EnterFocusMove = true;
    EXPECT_EQ(::SendMessageW(num_->Handle(), WM_GETDLGCODE, 0, 0), 0x85);
}

}  // namespace
