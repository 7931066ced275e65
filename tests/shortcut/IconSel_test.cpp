// The icon chooser opened from the shortcut maker and driven with real
// clicks and keys: the icons of a library of ours listed in order, picking
// one, cancelling, files dropped on the list and chosen in the file dialog,
// and files without usable icons refused.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "gui/Canvas.h"
#include "tests/shortcut/SCFixture.h"
#include "toolkit/QuorvinShell.h"
#include "tests/support/DropFiles.h"
#include "tests/support/PrefixGuard.h"

namespace {

using namespace sc_testing;
using testing_support::MakeHDrop;
using testing_support::MessageBoxAnswerer;
using testing_support::WriteBytes;

// What the driver thread saw of the open chooser.
struct Seen {
    bool open = false;
    std::vector<std::wstring> captions;
    std::vector<DWORD> colours;  // of the image list's pictures
    int selected = -2;
    bool boundsOfMaker = false;
    std::wstring status;
};

HWND ChooserWindow() {
    HWND wnd = nullptr;
    Poll([&] {
        wnd = ::FindWindowW(L"TIconSelForm", nullptr);
        return wnd && ::IsWindowVisible(wnd);
    }, 30000);
    return wnd && ::IsWindowVisible(wnd) ? wnd : nullptr;
}

int Selected(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int Count(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

void Look(HWND list, Seen& seen) {
    seen.open = true;
    seen.captions.clear();
    seen.colours.clear();
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    for (int i = 0, n = Count(list); i < n; ++i) {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        seen.captions.push_back(text);
        LVITEMW image{};
        image.mask = LVIF_IMAGE;
        image.iItem = i;
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&image));
        gui::IconHandle icon(::ImageList_GetIcon(images, image.iImage, ILD_NORMAL));
        seen.colours.push_back(icon ? IconMiddle(icon.get()) : 0xFFFFFFFF);
    }
    seen.selected = Selected(list);
}

// A click on the icon of item i.
void ClickItem(HWND list, int i) {
    RECT r{};
    r.left = LVIR_ICON;
    ::SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(list, &pt);
    ClickAt(pt);
}

class IconChooser : public SCFixture {
protected:
    std::wstring tool, lib, text;
    void SetUp() override {
        SCFixture::SetUp();
        tool = dir / L"tool.exe";
        lib = dir / L"icons.dll";
        text = dir / L"memo.txt";
        ASSERT_TRUE(MakeIconLibrary(tool, 5));
        ASSERT_TRUE(MakeIconLibrary(lib, 3));
        ASSERT_TRUE(WriteBytes(text, "text"));
    }

    // Clicks the maker's icon button for real and runs `script` on the
    // chooser's list view; Esc ends the chooser when the script did not. A
    // failed ASSERT in the script ends it, and the case once the chooser
    // has closed.
    void Choose(const std::function<void(HWND chooser, HWND list)>& script) {
        testing_support::ModalScenario run;
        std::thread driver([&] {
            HWND chooser = ChooserWindow();
            if (!chooser) return;
            HWND list = ::FindWindowExW(chooser, nullptr, L"TListView", nullptr);
            Poll([&] { return Count(list) > 0; }, 30000);
            run.Run([&] { script(chooser, list); });
            if (!Poll([&] { return !::IsWindow(chooser); }, 5000)) ::PostMessageW(chooser, WM_CLOSE, 0, 0);
        });
        ::SetForegroundWindow(form->Handle());
        form->BtnIcon->Click();
        driver.join();
        run.EndCaseIfFailed();
    }
};

TEST_F(IconChooser, ListsTheIconsInOrderAndPicksOneWithClickAndKeys) {
    Open(tool);
    ASSERT_EQ(form->MIconFile, LongPath(tool));
    Seen seen;
    int afterClick = -1, afterKey = -1;
    RECT makerRect{};
    ::GetWindowRect(form->Handle(), &makerRect);
    // Icons held by the program's own holders (the platform's count reads 0 under Wine).
    const long iconsBefore = gui::LiveGuiObjects(gui::TGuiObjectKind::User);
    Choose([&](HWND chooser, HWND list) {
        Look(list, seen);
        RECT r{};
        ::GetWindowRect(chooser, &r);
        seen.boundsOfMaker = std::memcmp(&r, &makerRect, sizeof(r)) == 0;
        ::SetForegroundWindow(chooser);
        ClickItem(list, 3);
        Poll([&] { return Selected(list) == 3; }, 10000);
        afterClick = Selected(list);
        seen.status = StatusText(::FindWindowExW(chooser, nullptr, L"TStatusBar", nullptr));
        PressKey(VK_RIGHT);
        Poll([&] { return Selected(list) == 4; }, 10000);
        afterKey = Selected(list);
        PressKey(VK_RETURN);
    });
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(seen.captions, (std::vector<std::wstring>{L"0", L"1", L"2", L"3", L"4"}));
    ASSERT_EQ(seen.colours.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(seen.colours[i], IconColour(i)) << i;
    EXPECT_EQ(seen.selected, 0) << "the index handed in";
    EXPECT_TRUE(seen.boundsOfMaker);
    EXPECT_EQ(afterClick, 3);
    EXPECT_EQ(seen.status, LongPath(tool) + L",3");
    EXPECT_EQ(afterKey, 4);
    EXPECT_EQ(IconSelForm, nullptr) << "released after its one use";
    EXPECT_EQ(gui::LiveGuiObjects(gui::TGuiObjectKind::User), iconsBefore)
        << "every icon taken from the files, and the one drawn on the button, is released";
    EXPECT_EQ(form->MIconFile, LongPath(tool));
    EXPECT_EQ(form->MIconIdx, 4);
    // The button shows icon 4 now.
    EXPECT_EQ(gui::PixelToColor(form->IconGlyph.ScanLine(16)[16]) & 0xFFFFFF,
              RGB((IconColour(4) >> 16) & 0xFF, (IconColour(4) >> 8) & 0xFF, IconColour(4) & 0xFF));
}

TEST_F(IconChooser, CancelLeavesTheShortcutIcon) {
    Open(tool);
    form->MIconFile = lib;
    form->MIconIdx = 2;
    Seen seen;
    bool okEnabled = false;
    Choose([&](HWND chooser, HWND list) {
        Look(list, seen);
        ::SetForegroundWindow(chooser);
        ClickItem(list, 0);
        Poll([&] { return Selected(list) == 0; }, 10000);
        okEnabled = ::IsWindowEnabled(::FindWindowExW(::FindWindowExW(chooser, nullptr, L"TPanel", nullptr),
                                                      nullptr, L"TButton", L"OK")) != FALSE;
        PressKey(VK_ESCAPE);
    });
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(seen.captions.size(), 3u);
    EXPECT_EQ(seen.selected, 2);
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(form->MIconFile, lib);
    EXPECT_EQ(form->MIconIdx, 2);
    EXPECT_EQ(form->MNowIconIdx, 0) << "the chooser changed only its own pair";
}

TEST_F(IconChooser, IndexBeyondTheIconsSelectsNothing) {
    Open(tool);
    form->MIconFile = lib;
    form->MIconIdx = 7;
    Seen seen;
    bool okEnabled = true;
    Choose([&](HWND chooser, HWND list) {
        Look(list, seen);
        okEnabled = ::IsWindowEnabled(::FindWindowExW(::FindWindowExW(chooser, nullptr, L"TPanel", nullptr),
                                                      nullptr, L"TButton", L"OK")) != FALSE;
        ::SetForegroundWindow(chooser);
        // OK is disabled: nothing happens. The keys arrive in order, so
        // Enter has been handled when Esc closes the chooser.
        PressKey(VK_RETURN);
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(seen.selected, -1);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(form->MIconIdx, 7);
}

TEST_F(IconChooser, DroppedFilesOnlyTheFirstCounts) {
    Open(tool);
    MessageBoxAnswerer boxes;
    Seen afterRefused, afterDrop;
    Choose([&](HWND chooser, HWND list) {
        ::PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeHDrop({text, lib})), 0);
        // The box was answered and the chooser, its owner, takes input again.
        Poll([&] { return boxes.Count() == 1 && ::IsWindowEnabled(chooser); }, 20000);
        Look(list, afterRefused);
        ::PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeHDrop({lib, text})), 0);
        Poll([&] { return Count(list) == 3; }, 20000);
        Look(list, afterDrop);
        ::SetForegroundWindow(chooser);
        PressKey(VK_RETURN);
    });
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{text + L"には\r\n利用できるアイコンがありません"});
    EXPECT_EQ(afterRefused.captions.size(), 5u) << "the list keeps the previous file";
    ASSERT_EQ(afterDrop.captions.size(), 3u);
    EXPECT_EQ(afterDrop.selected, 0);
    EXPECT_EQ(afterDrop.colours[1], IconColour(1));
    EXPECT_EQ(form->MIconFile, lib);
    EXPECT_EQ(form->MIconIdx, 0);
}

// The file dialog of "参照(&R)", answered by typing a path and pressing OK.
void AnswerOpenDialog(const std::wstring& file) {
    HWND dlg = nullptr;
    Poll([&] {
        dlg = ::FindWindowW(L"#32770", L"アイコンファイルの選択");
        return dlg && ::IsWindowVisible(dlg);
    }, 30000);
    if (!dlg) return;
    HWND edit = nullptr;
    Poll([&] {
        HWND combo = ::FindWindowExW(::GetDlgItem(dlg, 1148), nullptr, L"ComboBox", nullptr);
        edit = combo ? ::FindWindowExW(combo, nullptr, L"Edit", nullptr) : ::GetDlgItem(dlg, 1152);
        return edit != nullptr;
    }, 10000);
    if (!edit) return;
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Poll([&] { return !::IsWindow(dlg); }, 10000);
}

TEST_F(IconChooser, FileDialogRefusesATextFileAndTakesALibrary) {
    Open(tool);
    MessageBoxAnswerer boxes;
    Seen afterRefused, afterChoice;
    Choose([&](HWND chooser, HWND list) {
        HWND panel = ::FindWindowExW(chooser, nullptr, L"TPanel", nullptr);
        HWND browse = ::FindWindowExW(panel, nullptr, L"TButton", L"参照(&R)");
        ::SetForegroundWindow(chooser);
        ClickWindow(browse);
        AnswerOpenDialog(text);
        // The box was answered and the chooser, its owner, takes input again.
        Poll([&] { return boxes.Count() == 1 && ::IsWindowEnabled(chooser); }, 20000);
        Look(list, afterRefused);
        ::SetForegroundWindow(chooser);
        ClickWindow(browse);
        AnswerOpenDialog(lib);
        Poll([&] { return Count(list) == 3; }, 20000);
        Look(list, afterChoice);
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{text + L"には\r\n利用できるアイコンがありません"});
    EXPECT_EQ(afterRefused.captions.size(), 5u);
    EXPECT_EQ(afterChoice.captions.size(), 3u);
    EXPECT_EQ(afterChoice.selected, 0);
    EXPECT_EQ(form->MNowIconFile, lib);
    EXPECT_EQ(form->MIconFile, LongPath(tool)) << "cancelled: the shortcut's icon stays";
}

// A document's own icon comes from the program that opens it (here one of
// ours, registered for a file type of its own); a folder without icons of
// its own offers the system library at its folder icon.
TEST_F(IconChooser, SourceForDocumentsAndFolders) {
    const std::wstring classes = L"Software\\Classes\\";
    testing_support::RegKeyRestore keepExt(HKEY_LOCAL_MACHINE, classes + L".orvdoc"),
        keepProgId(HKEY_LOCAL_MACHINE, classes + L"OrvTest.Document");
    auto set = [](const std::wstring& key, const std::wstring& value) {
        HKEY h = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr))
            return false;
        gui::RegKey owned(h);
        return ::RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    };
    ASSERT_TRUE(set(classes + L".orvdoc", L"OrvTest.Document"));
    ASSERT_TRUE(set(classes + L"OrvTest.Document\\shell\\open\\command", L"\"" + tool + L"\" \"%1\""));
    const std::wstring doc = dir / L"letter.orvdoc";
    ASSERT_TRUE(WriteBytes(doc, "document"));
    std::wstring program;
    FindExecutableFor(doc, program);
    ASSERT_EQ(LongPath(program), LongPath(tool)) << "the association is seen";

    Open(doc);
    Seen docSeen;
    Choose([&](HWND chooser, HWND list) {
        Look(list, docSeen);
        ::SetForegroundWindow(chooser);
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(form->MNowIconFile, program);
    EXPECT_EQ(docSeen.captions.size(), 5u);
    EXPECT_EQ(docSeen.selected, 0);
    gui::TComponent::Free(form);
    form = nullptr;

    const std::wstring folder = dir / L"Folder";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Open(folder);
    Seen dirSeen;
    Choose([&](HWND chooser, HWND list) {
        Look(list, dirSeen);
        ::SetForegroundWindow(chooser);
        PressKey(VK_ESCAPE);
    });
    std::wstring system;
    GetSystemDir(system);
    EXPECT_EQ(form->MNowIconFile, system + L"SHELL32.DLL");
    EXPECT_EQ(dirSeen.selected, 3);
}

}  // namespace
