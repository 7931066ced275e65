// Typing a folder into a file dialog below the program's window: the
// file-name box gets the folder with one trailing backslash and one Enter,
// and a real open dialog goes to that folder.
#include "tests/acting/ActingFixture.h"

#include "app/history/HisJump.h"
#include "toolkit/QuorvinWindows.h"

namespace {

using acting::Target;
using testing_support::ScratchDir;
using testing_support::WaitUntil;

class Dialog : public acting::ActingTest {};

std::wstring WithoutSlash(std::wstring s) {
    if (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

TEST(PasteStepDelay, ByTimingChoice) {
    const std::pair<int, DWORD> cases[] = {{0, 100}, {1, 200}, {2, 300}, {3, 50}, {4, 25}, {5, 100}, {-1, 100}};
    for (auto [timing, ms] : cases) EXPECT_EQ(PasteStepDelay(timing), ms) << "timing " << timing;
}

TEST_F(Dialog, FolderArrivesWithOneBackslashAndOneEnter) {
    ScratchDir dir;
    const std::wstring work = dir / L"Work";
    ASSERT_TRUE(::CreateDirectoryW(work.c_str(), nullptr));
    Target dialog;
    ASSERT_TRUE(dialog.Start(L"dialog")) << dialog.Failure();
    His().Lists.Settings.CBPasteDir = 4;
    const LPARAM enterParam = static_cast<LPARAM>(::MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)) << 16;

    // From the tray menu (folders, category 3) and from the window (tab 3).
    for (const std::wstring& entry : {work, work + L"\\"}) {
        for (bool fromMenu : {true, false}) {
            SCOPED_TRACE(gui::WideToUtf8(entry) + (fromMenu ? " menu" : " window"));
            dialog.ClearLog();
            His().Lists.MFileList[3].Clear();
            His().Lists.MFileList[3].Add(entry);
            StackBelowProgram({dialog[0]});
            if (fromMenu) {
                His().TrayMenu.Proc_PPListClick(3000);
            } else {
                His().Lists.Settings.Tab = 3;
                ExecuteHistoryRow(0);
            }
            ASSERT_TRUE(WaitUntil([&] { return !dialog.Events(L"enter").empty(); }, 3000));
            testing_support::PumpMessages(100);
            EXPECT_EQ(His().Target.MDlgEdit, dialog[1]);
            std::vector<std::wstring> expected = {L"clear", L"settext " + work + L"\\", L"settext " + work + L"\\"};
            std::vector<std::wstring> typed = dialog.Events(L"clear");
            for (const auto& e : dialog.Events(L"settext")) typed.push_back(e);
            EXPECT_EQ(typed, expected);
            wchar_t param[16];
            ::swprintf(param, 16, L"%lX", static_cast<unsigned long>(enterParam));
            EXPECT_EQ(dialog.Events(L"enter"), std::vector<std::wstring>{L"enter " + work + L"\\ " + param});
        }
    }
}

TEST_F(Dialog, TextTheBoxChangedIsNotConfirmed) {
    ScratchDir dir;
    const std::wstring work = dir / L"長い名前のフォルダ";
    ASSERT_TRUE(::CreateDirectoryW(work.c_str(), nullptr));
    Target dialog;
    ASSERT_TRUE(dialog.Start(L"dialog", L"cut")) << dialog.Failure();
    His().Lists.Settings.CBPasteDir = 4;
    His().Lists.MFileList[3].Add(work);
    StackBelowProgram({dialog[0]});
    His().TrayMenu.Proc_PPListClick(3000);
    testing_support::PumpMessages(300);
    EXPECT_EQ(dialog.Events(L"settext").size(), 2u);
    EXPECT_TRUE(dialog.Events(L"enter").empty()) << "the box kept only part of the folder";
}

TEST_F(Dialog, RealOpenDialogGoesToTheFolder) {
    ScratchDir dir;
    const std::wstring start = dir / L"start", work = dir / L"作業";
    ASSERT_TRUE(::CreateDirectoryW(start.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(work.c_str(), nullptr));
    Target dialog;
    ASSERT_TRUE(dialog.Start(L"open", start)) << dialog.Failure();
    ASSERT_TRUE(IsFileDialogWindow(dialog[0])) << "the common dialog is taken for a file dialog";
    StackBelowProgram({dialog[0]});
    His().Lists.MFileList[3].Add(work);
    His().TrayMenu.Proc_PPListClick(3000);
    auto arrived = [&] {
        for (const auto& e : dialog.Events(L"folder"))
            if (WithoutSlash(e.substr(7)) == work) return true;
        return false;
    };
    EXPECT_TRUE(WaitUntil(arrived, 5000));
    EXPECT_TRUE(::IsWindow(dialog[0])) << "the dialog stays open";
}

}  // namespace
