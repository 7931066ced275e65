// The folder picker opened for real and answered from another thread, as a
// user would: the browser's own OK and Cancel buttons.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

#include "components/FolderDialog.h"
#include "gui/Form.h"
#include "gui/Handles.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ScratchDir;

class OwnerForm : public gui::TForm {
public:
    explicit OwnerForm(gui::TComponent* owner) : TForm(owner, L"TFolderOwnerForm") {}
};

struct BrowserFind {
    HWND box = nullptr;
};

BOOL CALLBACK FindBrowser(HWND w, LPARAM lp) {
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w)) {
        reinterpret_cast<BrowserFind*>(lp)->box = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindStaticText(HWND w, LPARAM lp) {
    auto* want = reinterpret_cast<std::pair<std::wstring, bool>*>(lp);
    wchar_t text[512] = {};
    ::GetWindowTextW(w, text, 512);
    if (want->first == text) want->second = true;
    return TRUE;
}

// What the answering thread saw and did.
struct Answer {
    bool found = false;
    bool titleShown = false;
    bool hadSelection = false;
    // How long a selection is waited for once the browser has started:
    // long where one is expected, since the tree fills slowly on a loaded
    // machine; 0 reads it once.
    DWORD selectionWaitMs = 30000;
};

// Waits for the browser of the GUI thread, checks it, then presses the button.
void AnswerBrowser(DWORD guiThread, const std::wstring& title, WORD button, Answer& answer) {
    BrowserFind f;
    const DWORD end = ::GetTickCount() + 20000;
    while (!f.box && ::GetTickCount() < end) {
        ::EnumThreadWindows(guiThread, FindBrowser, reinterpret_cast<LPARAM>(&f));
        if (!f.box) ::Sleep(20);
    }
    if (!f.box) return;
    answer.found = true;
    std::pair<std::wstring, bool> want{title, false};
    ::EnumChildWindows(f.box, FindStaticText, reinterpret_cast<LPARAM>(&want));
    answer.titleShown = want.second;
    HWND tree = ::FindWindowExW(f.box, nullptr, L"SysTreeView32", nullptr);
    // The selection is set while the browser initialises, which is done
    // when its thread answers a message sent now from its loop.
    DWORD_PTR started = 0;
    ::SendMessageTimeoutW(f.box, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &started);
    const DWORD selStart = ::GetTickCount();
    for (;;) {
        answer.hadSelection = tree && ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0;
        if (!tree || answer.hadSelection || ::GetTickCount() - selStart >= answer.selectionWaitMs) break;
        ::Sleep(20);
    }
    // This Wine's browser now and then never selects the place it was asked
    // to open on: such a browser is cancelled rather than confirmed, and the
    // caller may open it again.
    if (button == IDOK && !answer.hadSelection) button = IDCANCEL;
    ::PostMessageW(f.box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

class FolderDialogTest : public ::testing::Test {
protected:
    gui::ComScope com{/*ole=*/true};
    ScratchDir dir;
    OwnerForm* form = nullptr;
    void SetUp() override {
        // An application ended by an earlier test leaves its quit message,
        // which would end the browser's loop at once.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        form = new OwnerForm(nullptr);
        form->Initialize();
    }
    void TearDown() override { gui::TComponent::Free(form); }

    bool Run(TFolderDlg& dlg, WORD button, Answer& answer) {
        std::thread t(AnswerBrowser, ::GetCurrentThreadId(), dlg.Title, button, std::ref(answer));
        bool result = dlg.Execute();
        t.join();
        return result;
    }
};

TEST_F(FolderDialogTest, OkReturnsTheFolderSelectedFromRoot) {
    const std::wstring sub = dir / L"pick";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    struct Case {
        std::wstring root, expected;
    } cases[] = {
        {sub, sub},            // a folder comes back without a trailing backslash
        {L"C:\\windows", L"C:\\windows"},
        {L"C:\\", L"C:\\"},    // a drive root keeps its backslash
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.root.begin(), c.root.end()));
        TFolderDlg dlg(form);
        dlg.Title = L"フォルダを指定してください。";
        dlg.Root = c.root;
        Answer answer;
        bool ok = false;
        for (int attempt = 0; attempt < 3 && !answer.hadSelection; ++attempt) {
            answer = Answer{};
            answer.selectionWaitMs = 15000;
            ok = Run(dlg, IDOK, answer);
        }
        ASSERT_TRUE(answer.found);
        EXPECT_TRUE(answer.titleShown);
        EXPECT_TRUE(answer.hadSelection);
        EXPECT_TRUE(ok);
        EXPECT_EQ(dlg.FolderName, c.expected);
    }
}

TEST_F(FolderDialogTest, CancelEmptiesAnEarlierResult) {
    TFolderDlg dlg(form);
    dlg.Title = L"Pick";
    dlg.Root = dir.Path();
    dlg.FolderName = L"C:\\earlier";
    Answer answer;
    EXPECT_FALSE(Run(dlg, IDCANCEL, answer));
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(dlg.FolderName.empty());
}

TEST_F(FolderDialogTest, EmptyRootOpensWithoutChosenFolder) {
    TFolderDlg dlg(form);
    dlg.Title = L"Pick";
    Answer answer;
    answer.selectionWaitMs = 0;
    // No callback: the tree opens with nothing selected.
    EXPECT_FALSE(Run(dlg, IDCANCEL, answer));
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(answer.titleShown);
    EXPECT_FALSE(answer.hadSelection);
    EXPECT_TRUE(dlg.FolderName.empty());
}

}  // namespace
