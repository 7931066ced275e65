#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/Handles.h"
#include "tests/support/TestSupport.h"
#include "toolkit/PostKeyEx.h"

using testing_support::ScratchDir;
using testing_support::WaitUntil;

namespace {

// A key or character message as a window of this thread got it, with the
// held keys it saw in the thread's keyboard state at that moment.
struct Received {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    std::vector<int> held;
};
std::vector<Received> g_received;

const int kWatchedKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_KEYDOWN: case WM_KEYUP: case WM_SYSKEYDOWN: case WM_SYSKEYUP:
        case WM_CHAR: case WM_SYSCHAR: {
            Received r{msg, wp, lp, {}};
            for (int k : kWatchedKeys)
                if (::GetKeyState(k) & 0x8000) r.held.push_back(k);
            g_received.push_back(r);
            return 0;
        }
        default:
            return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

gui::OwnedWindow MakeRecordingWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvKeyRecorder";
        registered = ::RegisterClassExW(&wc) != 0;
    }
    return gui::OwnedWindow(::CreateWindowExW(0, L"OrvKeyRecorder", L"", WS_POPUP, 0, 0, 10, 10,
                                              nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

// A keyboard state no call would make by chance: toggles and held keys.
void SetDistinctKeyboardState(BYTE (&state)[256]) {
    std::memset(state, 0, sizeof(state));
    state[VK_CAPITAL] = 0x01;
    state[VK_NUMLOCK] = 0x01;
    state['Q'] = 0x80;
    state[VK_RSHIFT] = 0x80;
    state[VK_F7] = 0x81;
    ::SetKeyboardState(state);
}

bool SameKeyboardState(const BYTE (&expected)[256]) {
    BYTE now[256];
    if (!::GetKeyboardState(now)) return false;
    return std::memcmp(now, expected, sizeof(now)) == 0;
}

const LPARAM kUp = static_cast<LPARAM>(0xC0000000u);

// The tests play with this thread's keyboard state; later tests get it back.
class PostKey : public testing::Test {
protected:
    void SetUp() override { ::GetKeyboardState(saved_); }
    void TearDown() override { ::SetKeyboardState(saved_); }

private:
    BYTE saved_[256] = {};
};

TEST_F(PostKey, MessagesAndHeldKeysInThisThread) {
    gui::OwnedWindow wnd = MakeRecordingWindow();
    ASSERT_TRUE(wnd);
    struct Case {
        WORD key;
        TShiftState shift;
        bool special;
        UINT down, up;
        LPARAM lp;
        std::vector<int> held;
    };
    const Case cases[] = {
        {VK_RETURN, 0, false, WM_KEYDOWN, WM_KEYUP, 0x001C0000, {}},
        {VK_DELETE, ssShift | ssCtrl, true, WM_KEYDOWN, WM_KEYUP, 0x01530000, {VK_SHIFT, VK_CONTROL}},
        {'A', ssAlt, false, WM_SYSKEYDOWN, WM_SYSKEYUP, 0x201E0000, {VK_MENU}},
        {VK_F4, ssAlt | ssCtrl, false, WM_SYSKEYDOWN, WM_SYSKEYUP, 0x203E0000, {VK_CONTROL, VK_MENU}},
        {VK_TAB, ssLeft | ssRight | ssMiddle, false, WM_KEYDOWN, WM_KEYUP, 0x000F0000,
         {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}},
        // Only the listed flags count.
        {VK_SPACE, ssDouble | ssShift, false, WM_KEYDOWN, WM_KEYUP, 0x00390000, {VK_SHIFT}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " shift " << c.shift);
        BYTE before[256];
        SetDistinctKeyboardState(before);
        g_received.clear();

        PostKeyWithShift(wnd.get(), c.key, c.shift, c.special);

        // Handled before the call returned, with the modifiers held meanwhile.
        std::vector<Received> keys;
        for (const Received& r : g_received)
            if (r.msg != WM_CHAR && r.msg != WM_SYSCHAR) keys.push_back(r);
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(keys[0].msg, c.down);
        EXPECT_EQ(keys[0].wp, c.key);
        EXPECT_EQ(keys[0].lp, c.lp);
        EXPECT_EQ(keys[0].held, c.held);
        EXPECT_EQ(keys[1].msg, c.up);
        EXPECT_EQ(keys[1].wp, c.key);
        EXPECT_EQ(keys[1].lp, c.lp | kUp);
        EXPECT_EQ(keys[1].held, c.held);

        EXPECT_TRUE(SameKeyboardState(before)) << "the thread's keyboard state is put back";
    }
}

TEST_F(PostKey, AWindowThatIsGoneGetsNothing) {
    gui::OwnedWindow wnd = MakeRecordingWindow();
    ASSERT_TRUE(wnd);
    HWND gone = wnd.get();
    wnd.reset();
    ASSERT_FALSE(::IsWindow(gone));

    BYTE before[256];
    SetDistinctKeyboardState(before);
    const UINT kMarker = WM_APP + 77;
    ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), kMarker, 0, 0));
    g_received.clear();

    PostKeyWithShift(gone, VK_RETURN, ssShift | ssAlt, false);

    EXPECT_TRUE(SameKeyboardState(before));
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, kMarker, kMarker, PM_REMOVE))
        << "returns at once, without handling this thread's messages";
    EXPECT_TRUE(g_received.empty());
}

// The log the helper program writes, as lines.
std::vector<std::string> LogLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::string text = testing_support::ReadBytes(path);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) break;
        lines.push_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return lines;
}

std::wstring EditText(HWND edit) { return testing_support::WindowTextOf(edit); }

// The helper's log of one posted key: the key down first, then the key up
// and the character of the down's translation. The character is posted by
// the helper when it takes the down from its queue, so it lands before the
// up when the helper runs between the two posts, and after it otherwise.
void ExpectKeyLog(const std::vector<std::string>& lines, const std::string& down, const std::string& up,
                  const std::string& ch) {
    ASSERT_EQ(lines.size(), 3u) << testing::PrintToString(lines);
    EXPECT_EQ(lines[0], down) << testing::PrintToString(lines);
    EXPECT_TRUE((lines[1] == up && lines[2] == ch) || (lines[1] == ch && lines[2] == up))
        << testing::PrintToString(lines);
}

TEST_F(PostKey, EditBoxOfAnotherProgram) {
    ScratchDir dir;
    const std::wstring log = dir / L"keys.log";
    auto helper = testing_support::ChildProcess::Start(testing_support::BinDir() + L"CompKeyLog.exe",
                                                       L"\"" + log + L"\"");
    ASSERT_TRUE(helper.Started());
    const std::wstring hwndFile = log + L".hwnd";
    ASSERT_TRUE(WaitUntil([&] { return !testing_support::ReadBytes(hwndFile).empty(); }, 15000));
    HWND edit = reinterpret_cast<HWND>(
        static_cast<UINT_PTR>(std::stoull(testing_support::ReadBytes(hwndFile))));
    ASSERT_TRUE(::IsWindow(edit));

    // The character message is the helper's own translation of the key down.
    PostKeyWithShift(edit, VK_RETURN, 0, false);
    ASSERT_TRUE(WaitUntil([&] { return LogLines(log).size() >= 3; }, 5000));
    ExpectKeyLog(LogLines(log), "WM_KEYDOWN 0000000D 001C0000", "WM_KEYUP 0000000D C01C0000",
                 "WM_CHAR 0000000D 001C0000");

    ::DeleteFileW(log.c_str());
    PostKeyWithShift(edit, VK_RETURN, ssAlt, false);
    ASSERT_TRUE(WaitUntil([&] { return LogLines(log).size() >= 3; }, 5000));
    ExpectKeyLog(LogLines(log), "WM_SYSKEYDOWN 0000000D 201C0000", "WM_SYSKEYUP 0000000D E01C0000",
                 "WM_SYSCHAR 0000000D 201C0000");

    // A letter is typed into the edit as if pressed there.
    PostKeyWithShift(edit, 'K', 0, false);
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"k"; }, 5000)) << "edit holds '"
                                                                        << EditText(edit).size() << "' chars";
}

}  // namespace
