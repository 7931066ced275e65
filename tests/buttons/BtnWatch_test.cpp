#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <string>
#include <vector>

#include "app/monitors/Btn.h"
#include "gui/Exception.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/tray/TrayFixture.h"
#include "toolkit/QuorvinShortCut.h"
#include "toolkit/QuorvinWindows.h"

using namespace testing_support;

namespace {

const wchar_t kMessage[] = L"msg{改行}second line";

// Another program's real message box: "msg" with a second line, caption
// "Cap", OK and Cancel; the program's exit code is the box's result.
struct MessageBoxProgram {
    ChildProcess process;
    HWND box = nullptr;

    explicit MessageBoxProgram(const std::wstring& args = L"") {
        process = ChildProcess::Start(BinDir() + L"BtnMsgBox.exe", args);
        const std::wstring caption = L"Cap";
        WaitUntil(
            [&] {
                for (HWND w : FindTopWindows(L"#32770", &caption))
                    if (WindowProcessId(w) == process.Pid() && ::IsWindowVisible(w)) box = w;
                return box != nullptr;
            },
            30000);
    }
    HWND Button(int id) const { return ::GetDlgItem(box, id); }
    // Whether the program ended with the OK answer.
    bool AnsweredOk() { return process.WaitExit(30000) && process.ExitCode() == IDOK; }
};

std::wstring Text(HWND wnd) {
    wchar_t buf[260] = {};
    ::GetWindowTextW(wnd, buf, 260);
    return buf;
}

// The cursor reads as (x, y) ten times in a row.
// The cursor put at x,y until it stays there: this Wine may report an
// earlier position from the X server after a move and take the pointer back
// there, so the move is made again whenever it is seen elsewhere.
// Whether the cursor, put at (x, y) and put back each time it is seen
// elsewhere, stays there for ten reads in a row; on failure the reason
// says where it was seen and how often the system refused the move.
std::wstring HandleText(HWND wnd) { return std::to_wstring(reinterpret_cast<UINT_PTR>(wnd)); }

// The sounds the watch asked for. There is no audio device here, so the
// two calls that play sounds are stood in for and only heard.
std::vector<std::wstring> g_sounds;

BOOL WINAPI HeardPlaySound(LPCWSTR sound, HMODULE module, DWORD flags) {
    std::wstring call = L"PlaySound " + std::wstring(sound ? sound : L"(none)");
    if (module == ::GetModuleHandleW(nullptr)) call += L" own";
    if (flags & SND_RESOURCE) call += L" resource";
    if (flags & SND_ASYNC) call += L" async";
    if (flags & SND_NODEFAULT) call += L" nodefault";
    g_sounds.push_back(call);
    return TRUE;
}

BOOL WINAPI HeardSndPlaySound(LPCWSTR sound, UINT flags) {
    std::wstring call = L"sndPlaySound " + std::wstring(sound ? sound : L"(none)");
    if (flags & SND_ASYNC) call += L" async";
    if (flags & SND_NODEFAULT) call += L" nodefault";
    g_sounds.push_back(call);
    return TRUE;
}

class HeardSounds {
public:
    HeardSounds() { g_sounds.clear(); }
    bool Active() const { return play_.Active() && snd_.Active(); }

private:
    ImportPatch play_{nullptr, L"winmm.dll", "PlaySoundW", reinterpret_cast<const void*>(&HeardPlaySound)};
    ImportPatch snd_{nullptr, L"winmm.dll", "sndPlaySoundW", reinterpret_cast<const void*>(&HeardSndPlaySound)};
};

class ButtonWatch : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override {
        StartTray();
        // The test runs the watch's steps itself.
        TrayForm->TimerMain->SetEnabled(false);
        TrayForm->PPBtnStop->SetChecked(false);
        TrayForm->PPBtnCursor->SetChecked(false);
    }
    void TearDown() override { StopTray(); }

    // The candidate search's row for the box's OK button.
    TBtnEntry OkCandidate(const MessageBoxProgram& p) {
        BtnForm->Proc_SearchButtons(false);
        const std::wstring ok = Text(p.Button(IDOK));
        for (const TBtnEntry& row : BtnForm->ListAdd)
            if (row[bfCaption] == L"Cap" && row[bfButtonCaption] == ok) return row;
        ADD_FAILURE() << "no candidate for the OK button";
        return {};
    }
    void Register(const std::vector<TBtnEntry>& entries) {
        BtnForm->ListList = entries;
        BtnForm->MListListC = static_cast<int>(entries.size());
    }
    void Tick() { BtnForm->Proc_TimerBtn(::GetForegroundWindow(), true); }
};

TEST_F(ButtonWatch, CandidateSearchListsTheBoxButtonsWithItsMessage) {
    // A window of the program itself, with a button, stands beside the box.
    gui::OwnedWindow own(::CreateWindowExW(0, L"STATIC", L"Own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                                           200, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(::CreateWindowExW(0, L"Button", L"OwnOK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 25, own.get(),
                                  nullptr, nullptr, nullptr));
    MessageBoxProgram p;
    ASSERT_TRUE(p.box);
    RECT r{};
    ::GetWindowRect(p.box, &r);
    TBtnEntry ok = OkCandidate(p);
    EXPECT_EQ(ok[bfProgram], L"BTNMSGBOX.EXE");
    EXPECT_EQ(ok[bfClass], L"#32770");
    EXPECT_EQ(ok[bfHeight], std::to_wstring(r.bottom - r.top));
    EXPECT_EQ(ok[bfWidth], std::to_wstring(r.right - r.left));
    EXPECT_EQ(ok[bfButtonClass], L"Button");
    EXPECT_EQ(ok[bfMessage], kMessage) << "line breaks written as {改行}";
    EXPECT_TRUE(ok[bfPressedIn].empty() && ok[bfPressed].empty());
    const std::wstring cancel = Text(p.Button(IDCANCEL));
    bool hasCancel = false;
    for (const TBtnEntry& row : BtnForm->ListAdd) hasCancel |= row[bfButtonCaption] == cancel;
    EXPECT_TRUE(hasCancel);
    for (const TBtnEntry& row : BtnForm->ListAdd)
        EXPECT_NE(row[bfButtonCaption], L"OwnOK") << "the program's own windows are left out";
}

TEST_F(ButtonWatch, RegisteredButtonIsPressedWhenEveryFieldMatches) {
    enum class Sound { none, builtIn, file };
    const std::wstring wave = dir / L"press.wav";
    ASSERT_TRUE(WriteBytes(wave, "RIFF"));
    const std::vector<std::wstring> builtInSound = {L"PlaySound (none) own resource",
                                                    L"PlaySound NYA own resource async nodefault"};
    const std::vector<std::wstring> fileSound = {L"sndPlaySound " + wave + L" async nodefault"};
    const struct {
        const char* name;
        std::function<void(TBtnEntry&, const RECT&)> edit;
        bool stopped;
        bool pressed;
        Sound sound = Sound::none;
    } cases[] = {
        {"exact size", [](TBtnEntry&, const RECT&) {}, false, true},
        {"any size", [](TBtnEntry& e, const RECT&) { e[bfHeight] = e[bfWidth] = L""; }, false, true},
        {"other height",
         [](TBtnEntry& e, const RECT& r) { e[bfHeight] = std::to_wstring(r.bottom - r.top + 1); }, false, false},
        {"other width", [](TBtnEntry& e, const RECT& r) { e[bfWidth] = std::to_wstring(r.right - r.left - 1); },
         false, false},
        {"message part", [](TBtnEntry& e, const RECT&) { e[bfMessage] = L"g{改行}sec"; }, false, true},
        {"message absent", [](TBtnEntry& e, const RECT&) { e[bfMessage] = L"msg second"; }, false, false},
        {"program differs", [](TBtnEntry& e, const RECT&) { e[bfProgram] = L"BTNMSGBOX2.EXE"; }, false, false},
        {"caption case", [](TBtnEntry& e, const RECT&) { e[bfCaption] = L"cap"; }, false, false},
        {"watch stopped", [](TBtnEntry&, const RECT&) {}, true, false},
        {"with built-in sound", [](TBtnEntry&, const RECT&) {}, false, true, Sound::builtIn},
        {"with a sound file", [](TBtnEntry&, const RECT&) {}, false, true, Sound::file},
        {"no press, no sound", [](TBtnEntry& e, const RECT&) { e[bfCaption] = L"cap"; }, false, false,
         Sound::builtIn},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxProgram p;
        ASSERT_TRUE(p.box);
        RECT r{};
        ::GetWindowRect(p.box, &r);
        TBtnEntry e = OkCandidate(p);
        e[bfMessage].clear();
        c.edit(e, r);
        Register({e});
        TrayForm->PPBtnStop->SetChecked(c.stopped);
        BtnForm->Settings.CHKWav = c.sound != Sound::none;
        BtnForm->Settings.CHKWavRes = c.sound == Sound::builtIn;
        BtnForm->Settings.EditWav = wave;
        HeardSounds sounds;
        ASSERT_TRUE(sounds.Active()) << "the sound calls are stood in for";
        Tick();
        const TBtnEntry& after = BtnForm->ListList[0];
        if (c.pressed) {
            EXPECT_EQ(after[bfPressed], L"OK");
            EXPECT_EQ(after[bfPressedIn], HandleText(p.box));
            EXPECT_TRUE(p.AnsweredOk()) << "OK was pressed";
            EXPECT_EQ(g_sounds, c.sound == Sound::builtIn ? builtInSound
                                : c.sound == Sound::file  ? fileSound
                                                          : std::vector<std::wstring>{});
        } else {
            // The press and the mark go together: no mark, no click.
            EXPECT_TRUE(after[bfPressed].empty());
            EXPECT_TRUE(after[bfPressedIn].empty());
            EXPECT_TRUE(g_sounds.empty());
            // Cancel clicked after the tick: the box handles the clicks in
            // the order they were posted, so it ends with Cancel only if the
            // tick posted no click on OK.
            ASSERT_TRUE(::PostMessageW(p.Button(IDCANCEL), BM_CLICK, 0, 0));
            EXPECT_TRUE(p.process.WaitExit(30000));
            EXPECT_EQ(p.process.ExitCode(), static_cast<DWORD>(IDCANCEL)) << "OK was not pressed";
        }
    }
}

TEST_F(ButtonWatch, SecondDialogWaitsUntilTheFirstHasGone) {
    MessageBoxProgram a, b;
    ASSERT_TRUE(a.box && b.box);
    TBtnEntry e = OkCandidate(a);
    e[bfHeight] = e[bfWidth] = L"";
    Register({e});

    Tick();
    const std::wstring first = BtnForm->ListList[0][bfPressedIn];
    ASSERT_TRUE(first == HandleText(a.box) || first == HandleText(b.box)) << "one of the two was pressed";
    MessageBoxProgram& pressed = first == HandleText(a.box) ? a : b;
    MessageBoxProgram& waiting = first == HandleText(a.box) ? b : a;
    ASSERT_TRUE(pressed.AnsweredOk());
    EXPECT_TRUE(waiting.process.Running()) << "the same scan did not press the second one";
    EXPECT_EQ(BtnForm->ListList[0][bfPressedIn], first) << "the mark stays until the next tick";

    // While the dialog an entry pressed in stays visible, the entry presses
    // nothing, also not in another matching dialog.
    BtnForm->ListList[0][bfPressedIn] = HandleText(waiting.box);
    BtnForm->ListList[0][bfPressed] = L"OK";
    Tick();
    EXPECT_EQ(BtnForm->ListList[0][bfPressedIn], HandleText(waiting.box));
    EXPECT_TRUE(waiting.process.Running());

    // Once it has gone (here: hidden) the next tick clears the mark; shown
    // again, it is pressed.
    ::ShowWindow(waiting.box, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(waiting.box); }, 10000));
    Tick();
    EXPECT_TRUE(BtnForm->ListList[0][bfPressed].empty());
    ::ShowWindow(waiting.box, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(waiting.box) != FALSE; }, 10000));
    Tick();
    EXPECT_EQ(BtnForm->ListList[0][bfPressedIn], HandleText(waiting.box));
    EXPECT_TRUE(waiting.AnsweredOk());
}

TEST_F(ButtonWatch, DisabledButtonIsNotPressedUntilEnabled) {
    MessageBoxProgram p(L"disabled");
    ASSERT_TRUE(p.box);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowEnabled(p.Button(IDOK)); }, 10000));
    Register({OkCandidate(p)});
    BtnForm->ListList[0][bfMessage].clear();
    for (int i = 0; i < 2; ++i) {
        Tick();
        EXPECT_TRUE(BtnForm->ListList[0][bfPressed].empty()) << "tick " << i;
        EXPECT_TRUE(p.process.Running());
    }
    ::EnableWindow(p.Button(IDOK), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(p.Button(IDOK)) != FALSE; }, 10000));
    Tick();
    EXPECT_EQ(BtnForm->ListList[0][bfPressed], L"OK");
    EXPECT_TRUE(p.AnsweredOk());
}

TEST_F(ButtonWatch, CursorLandsOnTheNewDialogsDefaultButton) {
    TrayForm->PPBtnCursor->SetChecked(true);
    TrayForm->PPCaret->SetChecked(true);
    ASSERT_TRUE(CursorRestsAt({5, 5}));
    MessageBoxProgram p;
    ASSERT_TRUE(p.box);
    ForceForegroundWindow(p.box);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == p.box; }, 10000));

    BtnForm->Proc_TimerBtn(p.box, true);
    RECT r{};
    ::GetWindowRect(p.Button(IDOK), &r);
    const POINT centre{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
    POINT at{};
    EXPECT_TRUE(WaitUntil([&] { return ::GetCursorPos(&at) && at.x == centre.x && at.y == centre.y; }, 10000))
        << "cursor at " << at.x << "," << at.y << ", OK's centre " << centre.x << "," << centre.y;
    EXPECT_GE(BtnForm->ListBoxCursor.IndexOf(HandleText(p.box)), 0) << "the dialog is handled";
    EXPECT_EQ(BtnForm->MCursorWin, p.box) << "the main form stops passing Changed";

    // Finished with: a later tick leaves the cursor where the user puts it.
    ASSERT_TRUE(CursorRestsAt({5, 5}));
    BtnForm->Proc_TimerBtn(p.box, true);
    EXPECT_TRUE(CursorStaysAt({5, 5}));

    // Once the dialog has gone it leaves the handled list.
    p.process.Terminate();
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(p.box); }, 10000));
    BtnForm->Proc_TimerBtn(::GetForegroundWindow(), true);
    EXPECT_LT(BtnForm->ListBoxCursor.IndexOf(HandleText(p.box)), 0);
}

TEST_F(ButtonWatch, PushableButtonTest) {
    const struct {
        const wchar_t* cls;
        DWORD style;
        bool enabled;
        bool pushable;
    } cases[] = {
        {L"Button", BS_PUSHBUTTON, true, true},   {L"Button", BS_DEFPUSHBUTTON, true, true},
        {L"Button", BS_USERBUTTON, true, true},   {L"Button", BS_CHECKBOX, true, false},
        {L"Button", BS_AUTORADIOBUTTON, true, false}, {L"Button", BS_GROUPBOX, true, false},
        {L"Button", BS_OWNERDRAW, true, false},   {L"Button", BS_PUSHBUTTON, false, false},
        {L"Static", 0, true, false},
    };
    gui::OwnedWindow parent(::CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                                              nullptr, nullptr, nullptr, nullptr));
    for (const auto& c : cases) {
        HWND w = ::CreateWindowExW(0, c.cls, L"b", WS_CHILD | WS_VISIBLE | c.style, 10, 10, 50, 20, parent.get(),
                                   nullptr, nullptr, nullptr);
        ASSERT_TRUE(w);
        ::EnableWindow(w, c.enabled);
        EXPECT_EQ(IsPushableButton(w), c.pushable) << c.style << " " << c.enabled;
        ::DestroyWindow(w);
    }
}

TEST_F(ButtonWatch, StopHotKeyTogglesTheWatchAndIsHeldOnce) {
    // Registered when the form was created, from "Btn.ini"'s default.
    THookHotKey other(nullptr);
    EXPECT_FALSE(other.Add(1, TextToShortCut(L"Shift+Ctrl+B"))) << "a duplicate registration fails";
    ASSERT_FALSE(TrayForm->PPBtnStop->Checked());
    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_CONTROL, 'B'}));
    EXPECT_TRUE(WaitUntil([&] { return TrayForm->PPBtnStop->Checked(); }, 10000));
    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_CONTROL, 'B'}));
    EXPECT_TRUE(WaitUntil([&] { return !TrayForm->PPBtnStop->Checked(); }, 10000));
}

TEST(ButtonSound, TheProgramCarriesItsBuiltInSound) {
    HMODULE exe = ::LoadLibraryExW((BinDir() + L"Orvandel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    HRSRC res = ::FindResourceW(exe, L"nya", L"WAVE");
    ASSERT_TRUE(res);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(exe, res)));
    ASSERT_TRUE(data && ::SizeofResource(exe, res) > 44);
    EXPECT_EQ(std::string(data, 4), "RIFF");
    EXPECT_EQ(std::string(data + 8, 4), "WAVE");
    ::FreeLibrary(exe);
}

TEST_F(ButtonWatch, HeartbeatPressesAnotherProgramsBox) {
    MessageBoxProgram p;
    ASSERT_TRUE(p.box);
    TBtnEntry e = OkCandidate(p);
    Register({e});
    TrayForm->TimerMain->SetEnabled(true);
    // The heartbeat's timer runs while the wait handles this thread's messages.
    ASSERT_TRUE(WaitUntil([&] { return !p.process.Running(); }, 30000));
    EXPECT_EQ(p.process.ExitCode(), static_cast<DWORD>(IDOK));
    EXPECT_EQ(BtnForm->ListList[0][bfPressedIn], HandleText(p.box));
}

}  // namespace
