#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "gui/Menus.h"
#include "gui/Timer.h"

#include "tests/support/PrefixGuard.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"

using helper_windows::MakeWindow;
using helper_windows::RecordFile;
using testing_support::BinDir;
using testing_support::ScratchDir;

namespace {

std::wstring Recorder() { return BinDir() + L"OrvRecorder.exe"; }

std::wstring WithoutSlash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

TEST(ShellStart, OwnedStartPassesArgumentsAndFolder) {
    ScratchDir dir;
    RecordFile record(dir / L"record.txt");
    int r = ShellExecuteOwned(nullptr, Recorder(), L"一 \"二 三\"", dir.Path(), SW_HIDE);
    EXPECT_GT(r, 32);
    auto rec = record.Wait();
    ASSERT_TRUE(rec.found);
    EXPECT_NE(rec.commandLine.find(L"一 \"二 三\""), std::wstring::npos) << rec.commandLine;
    EXPECT_EQ(rec.folder, WithoutSlash(dir.Path()));

    EXPECT_EQ(ShellExecuteOwned(nullptr, dir / L"無い.exe", L"", L"", SW_HIDE), SE_ERR_FNF);
}

TEST(ShellStart, StartFileRefusesStringsItWouldCut) {
    ScratchDir dir;
    RecordFile record(dir / L"record.txt");
    const std::wstring longest(260, L'x');
    ShellExecuteFile(Recorder(), longest, dir.Path(), SW_HIDE);
    auto rec = record.Wait();
    ASSERT_TRUE(rec.found) << "260 characters still fit";
    EXPECT_NE(rec.commandLine.find(longest), std::wstring::npos);
    EXPECT_EQ(rec.folder, WithoutSlash(dir.Path()));

    // One more character would have been cut off: a different start.
    ::DeleteFileW(record.Path().c_str());
    ShellExecuteFile(Recorder(), longest + L"y", dir.Path(), SW_HIDE);
    EXPECT_FALSE(record.Wait(1500).found);
}

TEST(ShellStart, RunAs) {
    ScratchDir dir;
    RecordFile record(dir / L"record.txt");
    // Wine runs the program without elevation; the start itself is what counts here.
    EXPECT_TRUE(ShellExecuteRunAs(nullptr, Recorder(), L"管理者"));
    auto rec = record.Wait();
    ASSERT_TRUE(rec.found);
    EXPECT_NE(rec.commandLine.find(L"管理者"), std::wstring::npos);
    EXPECT_FALSE(ShellExecuteRunAs(nullptr, dir / L"無い.exe", L""));
}

// A file type registered for the test and removed after it (also after a
// killed run).
class FileType {
public:
    FileType(const std::wstring& ext, const std::wstring& command)
        : ext_(ext), progId_(L"OrvTest" + ext.substr(1) + L"File") {
        Set(ext_, progId_);
        Set(progId_ + L"\\shell\\open\\command", command);
    }

private:
    static void Set(const std::wstring& key, const std::wstring& value) {
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring ext_, progId_;
    testing_support::RegKeyRestore keepExt_{HKEY_CLASSES_ROOT, ext_}, keepProgId_{HKEY_CLASSES_ROOT, progId_};
};

TEST(ShellStart, ExecutableOfAFile) {
    ScratchDir dir;
    std::wstring windows;
    GetWindowsDir(windows);
    FileType bare(L".orvbare", L"notepad.exe %1");
    FileType missing(L".orvmiss", L"orv-no-such-program.exe %1");
    FileType full(L".orvfull", L"\"" + Recorder() + L"\" \"%1\"");
    for (const wchar_t* name : {L"a.orvbare", L"b.orvmiss", L"c.orvfull", L"d.orvnone"})
        ASSERT_TRUE(testing_support::WriteBytes(dir / name, "x"));
    ASSERT_TRUE(FileExistsSafe(windows + L"\\notepad.exe"));

    struct {
        const wchar_t* file;
        std::wstring exe;
    } cases[] = {
        {L"a.orvbare", windows + L"\\notepad.exe"},  // a bare name is in the Windows folder
        {L"b.orvmiss", L""},                         // that program is nowhere
        {L"c.orvfull", Recorder()},
        {L"d.orvnone", L""},                         // no program for the type
    };
    for (const auto& c : cases) {
        std::wstring exe = L"junk";
        FindExecutableFor(dir / c.file, exe);
        EXPECT_EQ(::_wcsicmp(exe.c_str(), c.exe.c_str()), 0) << testing::PrintToString(exe);
    }
}

BOOL CALLBACK CountResource(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int IconGroups(const std::wstring& file) {
    gui::Module m(::LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    int n = 0;
    ::EnumResourceNamesW(m.get(), RT_GROUP_ICON, CountResource, reinterpret_cast<LONG_PTR>(&n));
    return n;
}

bool IsIcon(HICON icon) {
    ICONINFO ii{};
    if (!icon || !::GetIconInfo(icon, &ii)) return false;
    gui::GdiObject mask(ii.hbmMask), color(ii.hbmColor);
    return ii.fIcon != FALSE;
}

TEST(Icons, IconsOutOfFiles) {
    ScratchDir dir;
    std::wstring program = BinDir() + L"Orvandel.exe";
    std::wstring text = dir / L"text.txt";
    ASSERT_TRUE(testing_support::WriteBytes(text, "just text"));
    int groups = IconGroups(program);
    ASSERT_GE(groups, 1);

    EXPECT_EQ(reinterpret_cast<INT_PTR>(ExtractFileIcon(program, -1)), groups);
    gui::IconHandle first(ExtractFileIcon(program, 0));
    EXPECT_TRUE(IsIcon(first.get()));
    EXPECT_EQ(ExtractFileIcon(program, groups), nullptr) << "past the last icon";
    EXPECT_EQ(ExtractFileIcon(text, -1), nullptr) << "a text file holds no icons";
    EXPECT_EQ(ExtractFileIcon(text, 0), nullptr);
    EXPECT_EQ(ExtractFileIcon(dir / L"無い.exe", 0), nullptr);

    gui::IconHandle associated(GetAssociatedIcon(program, 0));
    EXPECT_TRUE(IsIcon(associated.get()));
}

TEST(Icons, AssociatedIconNeverOfACutPath) {
    // A program whose path is exactly as long as the buffer takes; a name one
    // character longer would, cut off, name that program.
    ScratchDir dir;
    std::wstring folder = dir.Path();
    ASSERT_LT(folder.size() + 10, 259u);
    std::wstring path = folder + std::wstring(259 - folder.size() - 4, L'p') + L".exe";
    ASSERT_EQ(path.size(), 259u);
    ASSERT_TRUE(::CopyFileW((BinDir() + L"Orvandel.exe").c_str(), path.c_str(), FALSE));
    gui::IconHandle fits(GetAssociatedIcon(path, 0));
    EXPECT_TRUE(IsIcon(fits.get()));
    gui::IconHandle cut(GetAssociatedIcon(path + L"x", 0));
    EXPECT_FALSE(cut);
}

// A 16x16 or 32x32 icon: transparent but for a red square in the middle.
gui::IconHandle MakeIcon(int size) {
    std::vector<BYTE> andBits(static_cast<size_t>(size) * size / 8, 0xFF);
    gui::GdiObject mask(::CreateBitmap(size, size, 1, 1, andBits.data()));
    gui::WindowDC screen(nullptr);
    gui::GdiObject color(::CreateCompatibleBitmap(screen.get(), size, size));
    {
        gui::MemoryDC dc(::CreateCompatibleDC(screen.get()));
        gui::MemoryDC mdc(::CreateCompatibleDC(screen.get()));
        gui::SelectObjectScope s1(dc.get(), color.get());
        gui::SelectObjectScope s2(mdc.get(), mask.get());
        RECT all{0, 0, size, size}, mid{size / 4, size / 4, size * 3 / 4, size * 3 / 4};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        gui::GdiObject red(::CreateSolidBrush(RGB(255, 0, 0)));
        ::FillRect(dc.get(), &mid, static_cast<HBRUSH>(red.get()));
        ::FillRect(mdc.get(), &mid, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ICONINFO ii{TRUE, 0, 0, static_cast<HBITMAP>(mask.get()), static_cast<HBITMAP>(color.get())};
    return gui::IconHandle(::CreateIconIndirect(&ii));
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectW(bitmap, sizeof(bm), &bm);
    return {bm.bmWidth, bm.bmHeight};
}

// The picture the open menu shows beside its first item, read back from the
// native menu: its handle, size and pixels (0xAARRGGBB, top row first).
struct ShownPicture {
    HBITMAP handle = nullptr;
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

ShownPicture PictureShownBy(gui::TComponent& owner, gui::TPopupMenu& menu) {
    ShownPicture shown;
    bool looked = false;
    gui::TTimer timer(&owner);
    timer.SetInterval(50);
    timer.OnTimer = [&](gui::TTimer* t) {
        if (!menu.IsOpen()) return;
        t->SetEnabled(false);
        looked = true;
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_BITMAP;
        if (::GetMenuItemInfoW(menu.Handle(), 0, TRUE, &mii) && mii.hbmpItem) {
            shown.handle = mii.hbmpItem;
            const SIZE size = SizeOf(mii.hbmpItem);
            shown.width = size.cx;
            shown.height = size.cy;
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
            bi.bmiHeader.biWidth = size.cx;
            bi.bmiHeader.biHeight = -size.cy;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            shown.pixels.resize(static_cast<size_t>(size.cx) * size.cy);
            gui::WindowDC screen(nullptr);
            if (::GetDIBits(screen.get(), mii.hbmpItem, 0, size.cy, shown.pixels.data(), &bi, DIB_RGB_COLORS) !=
                size.cy)
                shown.pixels.clear();
        }
        menu.CloseMenu();
    };
    timer.SetEnabled(true);
    menu.Popup(100, 100);
    EXPECT_TRUE(looked) << "the menu opened";
    return shown;
}

constexpr DWORD kRed = 0xFFFF0000;

TEST(MenuPicture, IconOnAMenuItem) {
    gui::TComponent owner;
    gui::TPopupMenu menu(&owner);
    auto* item = new gui::TMenuItem(&owner);
    item->SetCaption(L"一つ目");
    menu.Items()->Add(item);
    gui::IconHandle small = MakeIcon(16), large = MakeIcon(32);
    ASSERT_TRUE(small && large);
    const COLORREF menuColour = ::GetSysColor(COLOR_MENU);
    const DWORD menuPixel = 0xFF000000u | (GetRValue(menuColour) << 16) | (GetGValue(menuColour) << 8) |
                            GetBValue(menuColour);

    SetMenuItemIcon(item, small.get());
    ShownPicture shown = PictureShownBy(owner, menu);
    ASSERT_TRUE(shown.handle) << "the menu shows a picture";
    EXPECT_EQ(shown.handle, item->Bitmap()) << "the item's own";
    EXPECT_EQ(shown.width, 16);
    EXPECT_EQ(shown.height, 16);
    ASSERT_EQ(shown.pixels.size(), 16u * 16u);
    EXPECT_EQ(shown.At(0, 15), menuPixel) << "bottom-left pixel: the menu colour, opaque";
    EXPECT_EQ(shown.At(15, 0), menuPixel);
    EXPECT_EQ(shown.At(8, 8), kRed) << "the icon, opaque";
    {
        ICONINFO ii{};
        EXPECT_TRUE(::GetIconInfo(small.get(), &ii)) << "the icon stays the caller's";
        gui::GdiObject mask(ii.hbmMask), colour(ii.hbmColor);
    }

    // A new picture replaces the old one, which is freed.
    const HBITMAP old = item->Bitmap();
    SetMenuItemIcon(item, large.get());
    EXPECT_EQ(::GetObjectType(old), 0u);
    shown = PictureShownBy(owner, menu);
    EXPECT_EQ(shown.width, 32);
    EXPECT_EQ(shown.height, 32);
    ASSERT_EQ(shown.pixels.size(), 32u * 32u);
    EXPECT_EQ(shown.At(16, 16), kRed);
    EXPECT_EQ(shown.At(0, 31), menuPixel);

    // No icon: no picture.
    const HBITMAP last = item->Bitmap();
    SetMenuItemIcon(item, nullptr);
    EXPECT_EQ(item->Bitmap(), nullptr);
    EXPECT_EQ(::GetObjectType(last), 0u);
    shown = PictureShownBy(owner, menu);
    EXPECT_EQ(shown.handle, nullptr);
}

// The picture goes with its item: a hundred items made and freed leave no
// bitmap and no other GDI object behind.
TEST(MenuPicture, FreedWithItsItem) {
    gui::TComponent owner;
    gui::IconHandle icon = MakeIcon(32);
    ASSERT_TRUE(icon);
    {
        // Whatever GDI sets up on first use is not counted.
        auto* warm = new gui::TMenuItem(&owner);
        SetMenuItemIcon(warm, icon.get());
        gui::TComponent::Free(warm);
    }
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    std::vector<HBITMAP> pictures;
    for (int i = 0; i < 100; ++i) {
        auto* item = new gui::TMenuItem(&owner);
        SetMenuItemIcon(item, icon.get());
        SetMenuItemIcon(item, icon.get());  // the first picture goes at once
        pictures.push_back(item->Bitmap());
        ASSERT_TRUE(pictures.back());
        gui::TComponent::Free(item);
    }
    for (HBITMAP p : pictures) EXPECT_EQ(::GetObjectType(p), 0u) << "freed with its item";
    // Where the platform counts the process's GDI objects (Windows does;
    // this Wine answers 0), the count is back where it was.
    const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_EQ(after, before) << "GDI objects of the process";
}

TEST(HotKeyEdit, ShowsTheKeyBeingPressed) {
    gui::OwnedWindow form = MakeWindow(L"ホットキー", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 120);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY, 10, 10, 250, 24,
                                  form.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(edit);
    auto text = [&] {
        wchar_t buf[64] = {};
        ::GetWindowTextW(edit, buf, 64);
        return std::wstring(buf);
    };
    struct {
        const char* what;
        WORD key;
        TShiftState shift;
        const wchar_t* text;
    } cases[] = {
        {"Ctrl+Shift+H", 'H', ssCtrl | ssShift, L"Shift+Ctrl+H"},
        {"Ctrl held, Shift pressed", VK_SHIFT, ssCtrl | ssShift, L""},
        {"Ctrl alone", VK_CONTROL, ssCtrl, L""},
        {"Alt alone", VK_MENU, ssAlt, L""},
        {"H alone", 'H', 0, L""},
        {"Esc with Ctrl", VK_ESCAPE, ssCtrl, L""},
        {"Ctrl+Alt+F5", VK_F5, ssCtrl | ssAlt, L"Ctrl+Alt+F5"},
        {"Alt+Enter", VK_RETURN, ssAlt, L"Alt+Enter"},
        {"Shift+Del", VK_DELETE, ssShift, L"Shift+Del"},
        {"Ctrl+Alt+Shift+Z", 'Z', ssCtrl | ssAlt | ssShift, L"Shift+Ctrl+Alt+Z"},
        {"a key without a name", 0xE8, ssCtrl, L""},
        {"mouse buttons are no modifiers", 'K', ssLeft | ssRight | ssMiddle, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::SetWindowTextW(edit, L"Ctrl+Q");
        WORD key = c.key;
        HotKeyEditKeyDown(edit, key, c.shift);
        EXPECT_EQ(key, 0) << "the edit never sees the key";
        EXPECT_EQ(text(), c.text);
        DWORD start = 0, end = 0;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, text().size());
        EXPECT_EQ(end, text().size()) << "caret at the end";
    }

    // Pressing Ctrl, then Shift, then H: empty until the key itself comes.
    ::SetWindowTextW(edit, L"");
    for (WORD k : {WORD(VK_CONTROL), WORD(VK_SHIFT)}) {
        WORD key = k;
        HotKeyEditKeyDown(edit, key, k == VK_CONTROL ? ssCtrl : ssCtrl | ssShift);
        EXPECT_EQ(text(), L"");
    }
    WORD key = 'H';
    HotKeyEditKeyDown(edit, key, ssCtrl | ssShift);
    EXPECT_EQ(text(), L"Shift+Ctrl+H");
}

TEST(WindowStyles, ToolWindowAndTopMost) {
    gui::OwnedWindow w = MakeWindow(L"スタイル", WS_OVERLAPPEDWINDOW, 100, 100, 200, 100, nullptr,
                                    WS_EX_ACCEPTFILES);
    ASSERT_TRUE(w);
    SetToolWindowStyle(w.get());
    LONG ex = ::GetWindowLongW(w.get(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_ACCEPTFILES) << "other styles stay";

    EXPECT_TRUE(SetWindowTopMost(w.get(), true));
    EXPECT_TRUE(::GetWindowLongW(w.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(::IsWindowVisible(w.get())) << "the window is shown as well";
    EXPECT_TRUE(SetWindowTopMost(w.get(), false));
    EXPECT_FALSE(::GetWindowLongW(w.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    HWND gone = w.get();
    w.reset();
    EXPECT_FALSE(SetWindowTopMost(gone, true));
}

TEST(WindowStyles, ListBoxHorizontalExtent) {
    gui::OwnedWindow form = MakeWindow(L"一覧", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0,
                                  200, 150, form.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(list);
    auto extent = [&] { return ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0); };
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 500, 0);
    SetListBoxHorizontalExtent(list);
    EXPECT_EQ(extent(), 0) << "an empty list has no scroll range";

    gui::GdiObject font(::CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                           L"IPAGothic"));
    ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    const wchar_t* items[] = {L"短い", L"ずっと長い項目の文字列です", L"中くらいの項目"};
    for (const wchar_t* s : items) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetListBoxHorizontalExtent(list);

    gui::WindowDC dc(list);
    gui::SelectObjectScope sel(dc.get(), font.get());
    SIZE longest{}, other{};
    ::GetTextExtentPoint32W(dc.get(), items[1], static_cast<int>(wcslen(items[1])), &longest);
    ::GetTextExtentPoint32W(dc.get(), items[2], static_cast<int>(wcslen(items[2])), &other);
    ASSERT_GT(longest.cx, other.cx);
    EXPECT_EQ(extent(), 2 * longest.cx) << "twice the widest item in the list's own font";
}

}  // namespace
