// The shell's context menu of scratch files, shown for real on a window of
// the test and closed (or chosen from) by a timer inside the menu's loop.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <memory>
#include <string>
#include <vector>

#include "components/DROPCOMEX.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/Handles.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/PathUtils.h"
#include "toolkit/ShellPIDL.h"

using testing_support::OpenMenuWindow;
using testing_support::ScratchDir;

namespace {

class OwnerForm : public gui::TForm {
public:
    OwnerForm() : gui::TForm(nullptr, L"TOrvMenuOwnerForm") {
        CreationLeft = CreationTop = 60;
        CreationWidth = 400;
        CreationHeight = 300;
    }
};

// What the timer saw of the open menu, and what it should do with it.
struct MenuWatch {
    HWND owner = nullptr;
    UINT chooseId = 0;           // 0: close the menu without a choice
    bool seen = false;
    int items = 0;
    RECT where{};
    LONG_PTR procDuringMenu = 0;
    DWORD deadline = 0;
} watch;

void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menuWnd = OpenMenuWindow();
    if (!menuWnd) {
        if (::GetTickCount() > watch.deadline) ::EndMenu();  // a hung case must not hang the program
        return;
    }
    if (watch.seen) return;  // keys already sent
    watch.seen = true;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    watch.items = ::GetMenuItemCount(menu);
    ::GetWindowRect(menuWnd, &watch.where);
    watch.procDuringMenu = ::GetWindowLongPtrW(watch.owner, GWLP_WNDPROC);
    if (!watch.chooseId) {
        ::EndMenu();
        return;
    }
    // Down to the item (the keys pass over separators), then Enter.
    int downs = 0;
    for (int i = 0; i < watch.items; ++i) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID;
        ::GetMenuItemInfoW(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) continue;
        ++downs;
        if (info.wID == watch.chooseId) break;
    }
    for (int i = 0; i < downs; ++i) {
        ::PostMessageW(menuWnd, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(menuWnd, WM_KEYUP, VK_DOWN, 0);
    }
    ::PostMessageW(menuWnd, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageW(menuWnd, WM_KEYUP, VK_RETURN, 0);
}

// Runs call with a timer that watches for the menu (and closes or chooses from it).
template <class Call>
bool WithMenuTimer(HWND owner, UINT chooseId, Call call) {
    watch = MenuWatch{};
    watch.owner = owner;
    watch.chooseId = chooseId;
    watch.deadline = ::GetTickCount() + 20000;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, MenuTimer);
    const bool result = call();
    ::KillTimer(nullptr, timer);
    return result;
}

gui::TStringList ListOf(const std::vector<std::wstring>& files) {
    gui::TStringList list;
    for (const auto& f : files) list.Add(f);
    return list;
}

// The menu identifier of a verb in the menu the shell builds for these files.
UINT IdOfVerb(const std::vector<std::wstring>& files, const wchar_t* verb) {
    gui::TStringList list = ListOf(files);
    gui::ComPtr<IShellFolder> folder;
    TPItemIDListArray items;
    UINT found = 0;
    if (GetFolderAndItems(folder, items, &list)) {
        gui::ComPtr<IContextMenu> cm;
        auto ids = const_cast<LPCITEMIDLIST*>(reinterpret_cast<const LPCITEMIDLIST*>(items.data()));
        gui::MenuHandle menu(::CreatePopupMenu());
        if (SUCCEEDED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()), ids, IID_IContextMenu,
                                            nullptr, cm.put_void())) &&
            SUCCEEDED(cm->QueryContextMenu(menu.get(), 0, 1, 0x7FFF, CMF_NORMAL))) {
            for (int i = 0; i < ::GetMenuItemCount(menu.get()) && !found; ++i) {
                UINT id = ::GetMenuItemID(menu.get(), i);
                wchar_t name[64] = {};
                if (id != static_cast<UINT>(-1) && id >= 1 &&
                    SUCCEEDED(cm->GetCommandString(id - 1, GCS_VERBW, nullptr,
                                                   reinterpret_cast<LPSTR>(name), 64)) &&
                    std::wstring(name) == verb)
                    found = id;
            }
        }
    }
    FreeItemIDArray(items, ShellMalloc().get());
    return found;
}

std::vector<std::wstring> ClipboardFiles() {
    std::vector<std::wstring> files;
    gui::ComPtr<IDataObject> data;
    if (FAILED(::OleGetClipboard(data.put()))) return files;
    FORMATETC fmt{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&fmt, &medium))) return files;
    auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT n = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        wchar_t name[MAX_PATH] = {};
        ::DragQueryFileW(drop, i, name, MAX_PATH);
        files.push_back(name);
    }
    ::ReleaseStgMedium(&medium);
    return files;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(::towlower(c));
    return s;
}

class ShellMenu : public ::testing::Test {
protected:
    void SetUp() override {
        shell_testing::EnsureApplication();
        owner = std::make_unique<OwnerForm>();
        owner->Initialize();
        owner->Show();
        ::CreateDirectoryW((dir / L"sub").c_str(), nullptr);
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"sub\\b.txt", L"sub\\c.txt"})
            ASSERT_TRUE(testing_support::WriteBytes(dir / name, "scratch"));
        menu = std::make_unique<TContextMenuEx>(nullptr);
    }
    HWND Owner() const { return owner->Handle(); }

    ScratchDir dir;
    std::unique_ptr<OwnerForm> owner;
    std::unique_ptr<TContextMenuEx> menu;
};

}  // namespace

TEST_F(ShellMenu, TheMenuOfAFileShowsAtThePointAndClosesWithoutAChoice) {
    const LONG_PTR before = ::GetWindowLongPtrW(Owner(), GWLP_WNDPROC);
    const bool result = WithMenuTimer(Owner(), 0, [&] { return menu->DoMenu(Owner(), dir / L"a.txt", 30, 40); });
    EXPECT_FALSE(result) << "no command was chosen";
    ASSERT_TRUE(watch.seen) << "the menu was shown";
    EXPECT_GT(watch.items, 0);
    POINT at{30, 40};
    ::ClientToScreen(Owner(), &at);
    EXPECT_NEAR(watch.where.left, at.x, 2);
    EXPECT_NEAR(watch.where.top, at.y, 2);
    EXPECT_NE(watch.procDuringMenu, before) << "the menu's messages pass through the component";
    EXPECT_EQ(::GetWindowLongPtrW(Owner(), GWLP_WNDPROC), before) << "the owner's procedure is back";
    ASSERT_EQ(menu->Files()->Count(), 1);
    EXPECT_EQ(menu->Files()->Get(0), dir / L"a.txt");
    // The owner still handles its own messages.
    owner->SetCaption(L"still working");
    EXPECT_EQ(owner->Caption(), L"still working");
}

TEST_F(ShellMenu, WhichFileListsGetAMenu) {
    struct Case {
        const char* name;
        std::vector<std::wstring> files;
        bool shown;
    };
    const Case cases[] = {
        {"two files of one folder", {dir / L"a.txt", dir / L"b.txt"}, true},
        {"the same folder in other letter case", {dir / L"a.txt", Lower(dir.Path()) + L"B.TXT"}, true},
        {"a drive root", {L"C:\\"}, true},
        // The root's menu would act on the root alone.
        {"a drive root and a file", {L"C:\\", dir / L"a.txt"}, false},
        {"a folder", {dir / L"sub"}, true},
        {"two folders", {dir / L"a.txt", dir / L"sub\\c.txt"}, false},
        // b.txt is also in the first folder: the menu must not act on that one instead.
        {"two folders, a namesake in the first", {dir / L"a.txt", dir / L"sub\\b.txt"}, false},
        {"a file that does not exist", {dir / L"gone.txt"}, false},
        {"one good and one missing file", {dir / L"a.txt", dir / L"gone.txt"}, false},
        {"no files", {}, false},
    };
    const LONG_PTR before = ::GetWindowLongPtrW(Owner(), GWLP_WNDPROC);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gui::TStringList list = ListOf(c.files);
        menu->SetFiles(&list);
        EXPECT_EQ(menu->Files()->Count(), static_cast<int>(c.files.size()));
        const bool result = WithMenuTimer(Owner(), 0, [&] { return menu->DoMenuEx(Owner(), 5, 5); });
        EXPECT_FALSE(result);
        EXPECT_EQ(watch.seen, c.shown);
        EXPECT_EQ(OpenMenuWindow(), nullptr);
        EXPECT_EQ(::GetWindowLongPtrW(Owner(), GWLP_WNDPROC), before);
    }
    EXPECT_FALSE(menu->DoMenu(nullptr, dir / L"a.txt", 0, 0)) << "no owner window";
}

TEST_F(ShellMenu, ChoosingCopyCarriesOutTheCommandOnExactlyTheListedFiles) {
    const std::vector<std::wstring> files{dir / L"b.txt", dir / L"a.txt"};
    const UINT copyId = IdOfVerb(files, L"copy");
    ASSERT_NE(copyId, 0u) << "the shell's menu has a copy command";
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    gui::TStringList list = ListOf(files);
    menu->SetFiles(&list);
    const bool result = WithMenuTimer(Owner(), copyId, [&] { return menu->DoMenuEx(Owner(), 10, 10); });
    ASSERT_TRUE(watch.seen);
    EXPECT_TRUE(result) << "a chosen command that succeeded";
    std::vector<std::wstring> copied;
    testing_support::WaitUntil([&] { return (copied = ClipboardFiles()).size() == 2; }, 10000);
    ASSERT_EQ(copied.size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(Lower(copied[i]), Lower(files[i]));
}

TEST_F(ShellMenu, QuickCommandsRefuseWhatTheyCannotDo) {
    EXPECT_FALSE(menu->quickCommand(nullptr, dir / L"a.txt", 0, 0, ctCopy)) << "no owner window";
    EXPECT_FALSE(menu->quickCommand(Owner(), dir / L"gone.txt", 0, 0, ctCopy)) << "a missing file";
    EXPECT_FALSE(menu->quickCommand(Owner(), dir / L"a.txt", 0, 0, static_cast<TcmCmdType>(6)))
        << "not one of the six commands";
    // A file's menu offers nothing to paste, so nothing is invoked.
    EXPECT_FALSE(menu->quickCommand(Owner(), dir / L"a.txt", 0, 0, ctPaste));

    // What it can do it does: the file's copy command puts it on the clipboard.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_TRUE(menu->quickCommand(Owner(), dir / L"a.txt", 0, 0, ctCopy)) << "an existing file copied";
    std::vector<std::wstring> copied;
    testing_support::WaitUntil([&] { return (copied = ClipboardFiles()).size() == 1; }, 10000);
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(Lower(copied[0]), Lower(dir / L"a.txt"));
}

TEST(ShellMenuItems, ThePasteItemIsFoundByTheBytesOfTheSystemCodePage) {
    if (::GetACP() != 932) GTEST_SKIP() << "the captions below are those of a Japanese system";
    struct Case {
        const char* name;
        std::vector<std::wstring> captions;
        std::vector<UINT> flags;
        int expected;
    };
    const Case cases[] = {
        {"paste after eight bytes", {L"開く(&O)", L"貼り付け(&P)"}, {MF_STRING, MF_STRING}, 2},
        {"ninth character but thirteenth byte", {L"貼り付けabcd(&P)"}, {MF_STRING}, -1},
        {"ASCII caption of eight letters", {L"Pastexyz(&P)"}, {MF_STRING}, 1},
        {"disabled item", {L"貼り付け(&P)"}, {MF_STRING | MF_GRAYED}, -1},
        {"first of two", {L"切り取り(&T)", L"貼り付け(&P)", L"貼り付け(&P)"}, {MF_STRING, MF_STRING, MF_STRING}, 2},
        {"no paste item", {L"コピー(&C)"}, {MF_STRING}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gui::MenuHandle m(::CreatePopupMenu());
        ::AppendMenuW(m.get(), MF_SEPARATOR, 0, nullptr);
        for (size_t i = 0; i < c.captions.size(); ++i)
            ::AppendMenuW(m.get(), c.flags[i], 100 + i, c.captions[i].c_str());
        // The separator in front counts as a position.
        EXPECT_EQ(FindMenuItemPos(m.get()), c.expected < 0 ? -1 : c.expected + 1);
    }
}

TEST(ShellMenuItems, QueryFlagsBecomeTheShellsBits) {
    EXPECT_EQ(QueryFlagsToCMF({qfNormal}), 0u);
    EXPECT_EQ(QueryFlagsToCMF({qfCanRename, qfDefaultOnly, qfExplore}), 0x15u);
    EXPECT_EQ(QueryFlagsToCMF({qfExtendedVerbs, qfIncludeStatic, qfNoDefault, qfNoVerbs, qfVerbsOnly}),
              0x100u | 0x40u | 0x20u | 0x8u | 0x2u);
}

TEST(PathKinds, DriveRootsServersAndShares) {
    struct Case {
        const wchar_t* path;
        bool drive, server, share;
        int backslashes;
    };
    const Case cases[] = {
        {L"C:\\", true, false, false, 1},
        {L"z:\\", true, false, false, 1},
        {L"C:", false, false, false, 0},
        {L"C:\\x", false, false, false, 1},
        {L"1:\\", false, false, false, 1},
        {L"\\\\srv", false, true, false, 2},
        {L"\\\\srv\\", false, true, false, 3},
        {L"\\\\", false, false, false, 2},
        {L"\\\\srv\\share", false, false, true, 3},
        {L"\\\\srv\\share\\", false, false, true, 4},
        {L"\\\\\\s\\x", false, false, false, 4},
        {L"\\\\srv\\share\\dir", false, false, false, 4},
        {L"\\\\a\\b", false, false, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(gui::WideToUtf8(c.path));
        EXPECT_EQ(IsDriveRootPath(c.path), c.drive);
        EXPECT_EQ(IsServerPath(c.path), c.server);
        EXPECT_EQ(IsShareRootPath(c.path), c.share);
        EXPECT_EQ(CountBackslashes(c.path), c.backslashes);
    }
}

TEST(ItemLists, WalkingCopyingAndBindingToTheParent) {
    shell_testing::EnsureApplication();
    ScratchDir dir;
    ASSERT_TRUE(testing_support::WriteBytes(dir / L"x.txt", "x"));
    LPITEMIDLIST absolute = PathToPIDL(dir / L"x.txt");
    ASSERT_NE(absolute, nullptr);
    const int count = CountItemIDs(absolute);
    EXPECT_GE(count, 3) << "desktop-relative: computer, drive, folders, file";
    EXPECT_EQ(CountItemIDs(nullptr), 0);

    LPITEMIDLIST first = CopyFirstItemID(absolute);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CountItemIDs(first), 1);
    EXPECT_EQ(memcmp(first, absolute, absolute->mkid.cb), 0);
    EXPECT_EQ(NextItemIDOrNil(first), nullptr) << "the next is the terminator";
    EXPECT_EQ(NextItemIDOrNil(absolute), NextItemID(absolute));

    gui::ComPtr<IShellFolder> folder;
    LPITEMIDLIST item = nullptr;
    ASSERT_TRUE(BindToParentFolder(absolute, folder, item));
    EXPECT_EQ(CountItemIDs(item), 1);
    STRRET name{};
    ASSERT_EQ(folder->GetDisplayNameOf(item, SHGDN_FORPARSING | SHGDN_INFOLDER, &name), S_OK);
    wchar_t text[MAX_PATH] = {};
    ::StrRetToBufW(&name, item, text, MAX_PATH);
    EXPECT_EQ(Lower(text), L"x.txt");
    gui::ComPtr<IMalloc> malloc = ShellMalloc();
    malloc->Free(item);
    EXPECT_FALSE(BindToParentFolder(first, folder, item)) << "one item has no parent to bind";
    EXPECT_EQ(item, nullptr);

    malloc->Free(first);
    ::CoTaskMemFree(absolute);
    EXPECT_EQ(PathToPIDL(dir / L"missing.txt"), nullptr);
}
