// The address jump: an open Explorer window, preferably the target, is
// navigated to a folder through the shell's collection of open windows.
// This Wine's collection never lists a window, so the jump is driven here
// through a collection of our own; the shell's own is checked to fail
// cleanly.
#include "tests/acting/ActingFixture.h"

#include <memory>

#include "app/history/ShellWindows.h"
#include "tests/toolkit/HelperWindows.h"

namespace {

using helper_windows::MakeWindow;
using helper_windows::RecordFile;
using testing_support::ScratchDir;

struct FakeWindow {
    std::wstring url;
    HWND handle = nullptr;
    bool refuses = false;       // Navigate fails
    int loadingPolls = 2;       // ready-state reads before it is complete; -1 never
    std::vector<std::wstring> navigated;
    int polls = 0;
};

class FakeBrowser : public TShellBrowser {
public:
    explicit FakeBrowser(FakeWindow* w) : w_(w) {}
    bool LocationURL(std::wstring& url) override {
        url = w_->url;
        return true;
    }
    HWND WindowHandle() override { return w_->handle; }
    bool Navigate(const std::wstring& location) override {
        if (w_->refuses) return false;
        w_->navigated.push_back(location);
        w_->polls = 0;
        return true;
    }
    bool ReadyState(READYSTATE& state) override {
        ++w_->polls;
        bool loading = w_->loadingPolls < 0 || w_->polls <= w_->loadingPolls;
        state = loading ? READYSTATE_LOADING : READYSTATE_COMPLETE;
        return true;
    }

private:
    FakeWindow* w_;
};

// A collection over fake windows; nullptr entries are items that cannot be had.
class FakeList : public TShellWindowList {
public:
    explicit FakeList(std::vector<FakeWindow*> windows) : windows_(std::move(windows)) {}
    int Count() override { return static_cast<int>(windows_.size()); }
    std::unique_ptr<TShellBrowser> Item(int index) override {
        if (!windows_.at(index)) return nullptr;
        return std::make_unique<FakeBrowser>(windows_[index]);
    }

private:
    std::vector<FakeWindow*> windows_;
};

class AdrJump : public acting::ActingTest {
protected:
    void SetUp() override {
        ActingTest::SetUp();
        a_ = MakeWindow(L"一", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
        b_ = MakeWindow(L"二", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
        ASSERT_TRUE(a_ && b_);
        folder_ = dir_ / L"移動先";
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void Use(std::vector<FakeWindow*> windows) {
        AdrJumpForm->ShellWindowsSource = [windows] { return std::make_unique<FakeList>(windows); };
    }
    TAdrJumpForm& Jump() { return *AdrJumpForm; }

    ScratchDir dir_;
    std::wstring folder_;
    gui::OwnedWindow a_, b_;
};

TEST_F(AdrJump, ThePreferredWindowIsNavigated) {
    FakeWindow first{L"file:///C:/a", a_.get()}, second{L"file:///C:/b", b_.get()};
    Use({&first, &second});
    Jump().MTargetHandle = b_.get();
    EXPECT_TRUE(Jump().Func_JumpExp(folder_));
    EXPECT_TRUE(first.navigated.empty());
    EXPECT_EQ(second.navigated, std::vector<std::wstring>{folder_});
    EXPECT_EQ(Jump().IEHandle, b_.get());
    EXPECT_GT(second.polls, second.loadingPolls) << "waited until it was complete";
}

TEST_F(AdrJump, WithoutThePreferredWindowTheFirstIsNavigated) {
    FakeWindow first{L"file:///C:/a", a_.get()}, second{L"file:///C:/b", b_.get()};
    Use({&first, &second});
    Jump().MTargetHandle = nullptr;
    EXPECT_TRUE(Jump().Func_JumpExp(folder_));
    EXPECT_EQ(first.navigated, std::vector<std::wstring>{folder_});
    EXPECT_TRUE(second.navigated.empty());
    EXPECT_EQ(Jump().IEHandle, a_.get());
}

TEST_F(AdrJump, NothingIsNavigatedWhenItCannotBe) {
    FakeWindow web{L"http://example.invalid/", a_.get()};
    FakeWindow gone{L"file:///C:/gone", reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7FFFFFF0))};
    FakeWindow shown{L"file:///C:/a", a_.get()};
    struct Case {
        const char* what;
        std::vector<FakeWindow*> windows;
        std::wstring folder;
    } cases[] = {
        {"the folder does not exist", {&shown}, dir_ / L"無い"},
        {"no window at all", {}, folder_},
        {"no window shows a folder", {&web}, folder_},
        {"the window is gone", {&gone}, folder_},
        {"only items that cannot be had", {nullptr, nullptr}, folder_},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Use(c.windows);
        EXPECT_FALSE(Jump().Func_JumpExp(c.folder));
        for (FakeWindow* w : c.windows)
            if (w) {
                EXPECT_TRUE(w->navigated.empty());
            }
    }
    EXPECT_EQ(Jump().IEHandle, nullptr) << "cleared when no window shows a folder";

    // An item that cannot be had is passed over.
    FakeWindow last{L"file:///C:/b", b_.get()};
    Use({nullptr, &last});
    Jump().MTargetHandle = b_.get();
    EXPECT_TRUE(Jump().Func_JumpExp(folder_));
    EXPECT_EQ(last.navigated.size(), 1u);
}

TEST_F(AdrJump, AWindowThatRefusesIsAFailure) {
    FakeWindow refusing{L"file:///C:/a", a_.get()};
    refusing.refuses = true;
    Use({&refusing});
    EXPECT_FALSE(Jump().Func_JumpExp(folder_));
}

TEST_F(AdrJump, AHungWindowDoesNotHoldTheProgram) {
    FakeWindow hung{L"file:///C:/a", a_.get()};
    hung.loadingPolls = -1;
    Use({&hung});
    Jump().MNavigateWaitMs = 300;
    DWORD start = ::GetTickCount();
    Jump().Func_JumpExp(folder_);
    EXPECT_LT(::GetTickCount() - start, 3000u);
    EXPECT_EQ(hung.navigated.size(), 1u);
    EXPECT_GE(hung.polls, 2);
}

TEST_F(AdrJump, TheShellsOwnCollectionFailsCleanly) {
    // No Explorer window is open in this session, and this Wine's
    // collection counts none in any case.
    Jump().ShellWindowsSource = OpenShellWindows;
    EXPECT_FALSE(Jump().Func_JumpExp(folder_));
    EXPECT_EQ(Jump().IEHandle, nullptr);
    EXPECT_FALSE(Jump().IEObj);
}

// The tray menu's folder entries with a target that is neither a file
// dialog nor an Explorer window of their kind: the jump shows the folder
// that holds the entry, and when no window can, Explorer is started.
TEST_F(AdrJump, TrayMenuFoldersJumpOrStartExplorer) {
    const std::wstring entry = folder_ + L"\\中";
    ASSERT_TRUE(::CreateDirectoryW(entry.c_str(), nullptr));
    acting::Target other;
    ASSERT_TRUE(other.Start(L"paste")) << other.Failure();
    FakeWindow open{L"file:///C:/a", a_.get()};
    Use({&open});
    His().Lists.MFileList[4].Add(entry);
    StackBelowProgram({other[0]});
    His().TrayMenu.Proc_PPListClick(4000);
    EXPECT_EQ(Jump().MTargetHandle, other[0]) << "the target is preferred";
    EXPECT_EQ(open.navigated, std::vector<std::wstring>{folder_});

    Use({});
    RecordFile record(dir_ / L"record.txt");
    ExplorerPath = testing_support::BinDir() + L"OrvRecorder.exe";
    StackBelowProgram({other[0]});
    His().TrayMenu.Proc_PPListClick(4000);
    auto rec = acting::WaitForStart(record);
    ASSERT_TRUE(rec.found);
    EXPECT_NE(rec.commandLine.find(L" /select,\"" + entry + L"\""), std::wstring::npos)
        << gui::WideToUtf8(rec.commandLine);
}

}  // namespace
