// Orvandel.dll as its users meet it: loaded by name, its exports by name and
// by ordinal, the shared record seen through a mapping of our own, and the
// global hook live against a fake desktop in another process, clicked with
// synthesized input.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gui/Handles.h"
#include "hooklib/Hook.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

using InstallFn = HHOOK(WINAPI*)(HWND);
using SetKeyFn = BOOL(WINAPI*)(BYTE, BYTE);
using UnInstallFn = int(WINAPI*)();

// Queries the windows of HookFakeDesktop.exe (and our sink) answer.
constexpr UINT kQueryButtonUps = WM_APP + 1;
constexpr UINT kQueryThreadPosts = WM_APP + 2;

void* Proc(HMODULE m, const char* name) { return reinterpret_cast<void*>(::GetProcAddress(m, name)); }

// The library loaded by name, its functions looked up by name.
struct HookLibrary {
    gui::Module module;
    InstallFn Install = nullptr;
    SetKeyFn SetKey = nullptr;
    UnInstallFn UnInstall = nullptr;

    bool Load() {
        module.reset(::LoadLibraryW(L"Orvandel.dll"));
        if (!module) return false;
        Install = reinterpret_cast<InstallFn>(Proc(module.get(), "Func_InstallMHook"));
        SetKey = reinterpret_cast<SetKeyFn>(Proc(module.get(), "Func_SetKey"));
        UnInstall = reinterpret_cast<UnInstallFn>(Proc(module.get(), "Func_UnInstallMHook"));
        return Install && SetKey && UnInstall;
    }
};

bool ShareExists() {
    gui::Handle h(::OpenFileMappingW(FILE_MAP_READ, FALSE, kMouseHookShareName));
    return static_cast<bool>(h);
}

// The record through a view of our own, as any process can see and write it.
class ShareRecord {
public:
    bool Open() {
        mapping_.reset(::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kMouseHookShareName));
        if (mapping_) view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        return static_cast<bool>(view_);
    }
    TMouseHookShare* operator->() const { return static_cast<TMouseHookShare*>(view_.get()); }
    BYTE* Bytes() const { return static_cast<BYTE*>(view_.get()); }
    std::vector<BYTE> Copy() const { return std::vector<BYTE>(Bytes(), Bytes() + 12); }

private:
    gui::Handle mapping_;
    gui::MappedView view_;
};

const BYTE* ModuleBase(HMODULE m) { return reinterpret_cast<const BYTE*>(m); }

const IMAGE_DATA_DIRECTORY& Directory(HMODULE m, int entry) {
    const BYTE* base = ModuleBase(m);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

std::map<std::string, DWORD> ExportOrdinals(HMODULE m) {
    const BYTE* base = ModuleBase(m);
    const auto& dir = Directory(m, IMAGE_DIRECTORY_ENTRY_EXPORT);
    std::map<std::string, DWORD> out;
    if (!dir.VirtualAddress) return out;
    auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* names = reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
    auto* ordinals = reinterpret_cast<const WORD*>(base + exp->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exp->NumberOfNames; ++i)
        out[reinterpret_cast<const char*>(base + names[i])] = exp->Base + ordinals[i];
    return out;
}

// Calls fn(upper-case library name, descriptor) for each library a module
// imports from.
template <class Fn>
void ForEachImportedLibrary(HMODULE m, Fn fn) {
    const BYTE* base = ModuleBase(m);
    const auto& dir = Directory(m, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!dir.VirtualAddress) return;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        for (char& c : name) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
        fn(name, *d);
    }
}

std::set<std::string> ImportedLibraries(HMODULE m) {
    std::set<std::string> out;
    ForEachImportedLibrary(m, [&](const std::string& name, const IMAGE_IMPORT_DESCRIPTOR&) { out.insert(name); });
    return out;
}

// The names a module imports from one library (upper-case library name),
// by name; "#n" for an import by ordinal.
std::set<std::string> ImportedNames(HMODULE m, const std::string& library) {
    const BYTE* base = ModuleBase(m);
    std::set<std::string> out;
    ForEachImportedLibrary(m, [&](const std::string& name, const IMAGE_IMPORT_DESCRIPTOR& d) {
        if (name != library) return;
        const DWORD thunks = d.OriginalFirstThunk ? d.OriginalFirstThunk : d.FirstThunk;
        for (auto* t = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + thunks); t->u1.AddressOfData; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL32(t->u1.Ordinal)) {
                // Appended, not "#" + ...: GCC 12 warns falsely (-Wrestrict) on a
                // literal prepended to a temporary string.
                std::string ordinal = "#";
                ordinal += std::to_string(IMAGE_ORDINAL32(t->u1.Ordinal));
                out.insert(ordinal);
            } else {
                out.insert(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData)->Name);
            }
        }
    });
    return out;
}

// A program file laid out as the loader maps it (headers and each section
// at its address), without loading it: its import table can be read in place.
std::vector<BYTE> ImageOfFile(const std::wstring& path) {
    const std::string file = ReadBytes(path);
    if (file.size() < sizeof(IMAGE_DOS_HEADER)) return {};
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
        file.size() < static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32))
        return {};
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(file.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return {};
    std::vector<BYTE> image(nt->OptionalHeader.SizeOfImage);
    const size_t headers = std::min<size_t>(nt->OptionalHeader.SizeOfHeaders, file.size());
    if (headers > image.size()) return {};
    std::copy(file.begin(), file.begin() + headers, image.begin());
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const size_t from = section->PointerToRawData, to = section->VirtualAddress;
        const size_t size = std::min<size_t>(section->SizeOfRawData, section->Misc.VirtualSize);
        if (from + size > file.size() || to + size > image.size()) return {};
        std::copy(file.begin() + from, file.begin() + from + size, image.begin() + to);
    }
    return image;
}

class HookLib : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib.Load()) << "Orvandel.dll or one of its exports is missing";
        ASSERT_TRUE(share.Open()) << "the library did not create its shared record";
    }
    HookLibrary lib;
    ShareRecord share;
};

TEST_F(HookLib, ExportsPlainNamesWithTheirOrdinals) {
    std::map<std::string, DWORD> expected{
        {"Func_SetKey", 1}, {"Func_UnInstallMHook", 2}, {"Func_InstallMHook", 3}};
    EXPECT_EQ(ExportOrdinals(lib.module.get()), expected);

    // By ordinal the loader hands out the same functions.
    HMODULE m = lib.module.get();
    EXPECT_EQ(Proc(m, MAKEINTRESOURCEA(1)), reinterpret_cast<void*>(lib.SetKey));
    EXPECT_EQ(Proc(m, MAKEINTRESOURCEA(2)), reinterpret_cast<void*>(lib.UnInstall));
    EXPECT_EQ(Proc(m, MAKEINTRESOURCEA(3)), reinterpret_cast<void*>(lib.Install));
    EXPECT_EQ(Proc(m, "_Func_SetKey@8"), nullptr);
    EXPECT_EQ(Proc(m, "Func_SetKey@8"), nullptr);
}

// Loaded into programs in any folder, it can rely on nothing beside it.
TEST_F(HookLib, NeedsOnlySystemLibraries) {
    std::set<std::string> imports = ImportedLibraries(lib.module.get());
    EXPECT_FALSE(imports.empty());
    for (const std::string& name : imports)
        EXPECT_TRUE(name == "KERNEL32.DLL" || name == "USER32.DLL") << name;
}

TEST_F(HookLib, SetKeyStoresBothBytesAndReportsWhetherBothAreSet) {
    struct Case {
        BYTE ctrl, shift;
        BOOL result;
    } cases[] = {{0, 0, FALSE}, {1, 0, FALSE}, {0, 1, FALSE}, {1, 1, TRUE}, {7, 255, TRUE}, {0, 0, FALSE}};
    // Fields the call must leave alone.
    share->TargetWnd = reinterpret_cast<HWND>(0x11223344);
    share->HookHandle = reinterpret_cast<HHOOK>(0x55667788);
    share->Reserved[0] = 0xAB;
    share->Reserved[1] = 0xCD;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Func_SetKey(" << int(c.ctrl) << ", " << int(c.shift) << ")");
        EXPECT_EQ(lib.SetKey(c.ctrl, c.shift), c.result);
        EXPECT_EQ(share.Bytes()[8], c.ctrl);
        EXPECT_EQ(share.Bytes()[9], c.shift);
        EXPECT_EQ(share->TargetWnd, reinterpret_cast<HWND>(0x11223344));
        EXPECT_EQ(share->HookHandle, reinterpret_cast<HHOOK>(0x55667788));
        EXPECT_EQ(share.Bytes()[10], 0xAB);
        EXPECT_EQ(share.Bytes()[11], 0xCD);
    }
}

TEST_F(HookLib, InstallAndUninstallKeepTheRecord) {
    gui::OwnedWindow wnd(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           nullptr, nullptr));
    ASSERT_TRUE(wnd);
    share->TargetWnd = nullptr;
    share->HookHandle = nullptr;

    EXPECT_EQ(lib.UnInstall(), -1) << "nothing was installed";

    HHOOK hook = lib.Install(wnd.get());
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(share->TargetWnd, wnd.get());
    EXPECT_EQ(share->HookHandle, hook);

    EXPECT_EQ(lib.UnInstall(), 0);
    EXPECT_EQ(share->TargetWnd, wnd.get());
    EXPECT_EQ(share->HookHandle, hook);
    EXPECT_EQ(lib.UnInstall(), -1) << "the hook is gone already";

    // A second install without an uninstall between them replaces the handle
    // in the record; the first hook stays for its caller to remove.
    HHOOK first = lib.Install(wnd.get());
    HHOOK second = lib.Install(wnd.get());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(share->HookHandle, second);
    EXPECT_EQ(lib.UnInstall(), 0);
    EXPECT_TRUE(::UnhookWindowsHookEx(first));
}

// A program importing the functions at load time binds to the plain names.
TEST_F(HookLib, ImportLibraryBindsTheExportedNames) {
    const std::wstring exe = BinDir() + L"HookImportUser.exe";
    struct Case {
        const wchar_t* args;
        DWORD exitCode;
    } cases[] = {{L"setkey 1 1", 1}, {L"setkey 1 0", 0}, {L"install", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "HookImportUser " << testing::PrintToString(std::wstring(c.args)));
        ChildProcess p = ChildProcess::Start(exe, c.args);
        ASSERT_TRUE(p.Started());
        ASSERT_TRUE(p.WaitExit(10000));
        EXPECT_EQ(p.ExitCode(), c.exitCode);
    }
    // The record is the one this process sees.
    EXPECT_EQ(share->NeedCtrl, 1);
    EXPECT_EQ(share->NeedShift, 0);
}

// The program binds the three functions when it is loaded, so it does not
// start without the library beside it.
TEST(HookLibImport, TheProgramImportsTheLibraryAtLoadTime) {
    std::vector<BYTE> image = ImageOfFile(BinDir() + L"Orvandel.exe");
    ASSERT_FALSE(image.empty()) << "Orvandel.exe could not be read as a program file";
    HMODULE m = reinterpret_cast<HMODULE>(image.data());
    EXPECT_EQ(ImportedLibraries(m).count("ORVANDEL.DLL"), 1u);
    EXPECT_EQ(ImportedNames(m, "ORVANDEL.DLL"),
              (std::set<std::string>{"Func_InstallMHook", "Func_SetKey", "Func_UnInstallMHook"}));
}

// Only while no process holds the record can a test see it made afresh.
const char kHeldElsewhere[] =
    "the record is held elsewhere: another process, or this program imports Orvandel.dll";

TEST(HookLibRecord, IsMadeZeroFilledAndGoesWithTheLastUser) {
    ASSERT_FALSE(ShareExists()) << kHeldElsewhere;
    HookLibrary lib;
    ASSERT_TRUE(lib.Load());
    {
        ShareRecord share;
        ASSERT_TRUE(share.Open());
        EXPECT_EQ(share.Copy(), std::vector<BYTE>(12, 0));
    }
    lib.module.reset();
    EXPECT_FALSE(ShareExists()) << "the library left its mapping open";
}

// When the record cannot be had (here another object holds its name), the
// library still loads and every export reports failure.
TEST(HookLibRecord, MissingRecordMakesTheExportsFail) {
    ASSERT_FALSE(ShareExists()) << kHeldElsewhere;
    gui::Handle squatter(::CreateMutexW(nullptr, FALSE, kMouseHookShareName));
    ASSERT_TRUE(squatter);

    HookLibrary lib;
    ASSERT_TRUE(lib.Load()) << "the library must load all the same";
    gui::OwnedWindow wnd(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           nullptr, nullptr));
    EXPECT_FALSE(lib.SetKey(1, 1));
    EXPECT_EQ(lib.Install(wnd.get()), nullptr);
    EXPECT_EQ(lib.UnInstall(), -1);
}

// ---------------------------------------------------------------------------
// The hook live: our sink window receives what the hook posts; the fake
// desktop runs in another process, as the real one does.

struct SinkLog {
    int clicks = 0;  // WM_DESKTOPMCLICK received
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LONG buttonUps = 0;  // WM_MBUTTONUP on the sink itself
} sinkLog;

LRESULT CALLBACK SinkProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESKTOPMCLICK:
        ++sinkLog.clicks;
        sinkLog.wParam = wParam;
        sinkLog.lParam = lParam;
        return 0;
    case WM_MBUTTONUP:
        ++sinkLog.buttonUps;
        return 0;
    case kQueryButtonUps:
        return sinkLog.buttonUps;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

// A visible top-level window, so a broadcast would reach it too.
gui::OwnedWindow MakeSink() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = SinkProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = L"THookTestSink";
    ::RegisterClassW(&wc);
    return gui::OwnedWindow(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"sink",
                                              WS_POPUP | WS_VISIBLE, 40, 450, 200, 150, nullptr, nullptr,
                                              wc.hInstance, nullptr));
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof(in));
}

// Keys held for the length of a scope, released even when a check fails.
class HeldKeys {
public:
    explicit HeldKeys(std::vector<WORD> keys) : keys_(std::move(keys)) {
        for (WORD k : keys_) SendKey(k, false);
    }
    ~HeldKeys() {
        for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) SendKey(*it, true);
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    std::vector<WORD> keys_;
};

// Absolute input coordinates run 0..65535 over the screen; rounded up, they
// map back onto the same pixel.
LONG Normalised(LONG pixel, int extent) { return static_cast<LONG>((pixel * 65536LL + extent - 1) / extent); }

LONG ButtonUps(HWND w) { return static_cast<LONG>(::SendMessageW(w, kQueryButtonUps, 0, 0)); }

POINT Centre(HWND w) {
    RECT r;
    ::GetWindowRect(w, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class DesktopClick : public testing::Test {
protected:
    void SetUp() override {
        sinkLog = SinkLog();
        sink = MakeSink();
        ASSERT_TRUE(sink);
        ASSERT_TRUE(lib.Load());
        ASSERT_TRUE(share.Open());

        desktop = ChildProcess::Start(BinDir() + L"HookFakeDesktop.exe");
        ASSERT_TRUE(desktop.Started());
        ASSERT_TRUE(WaitUntil([this] { return FindHelperWindows(); }, 10000))
            << "the fake desktop's windows did not appear";

        ASSERT_NE(lib.Install(sink.get()), nullptr);
        installed = true;
    }

    void TearDown() override {
        if (installed) {
            EXPECT_EQ(lib.UnInstall(), 0);
        }
        desktop.Terminate();
    }

    HWND HelperTop(const wchar_t* cls, const wchar_t* title) {
        std::wstring t = title;
        for (HWND w : FindTopWindows(cls, &t))
            if (WindowProcessId(w) == desktop.Pid()) return w;
        return nullptr;
    }

    bool FindHelperWindows() {
        progman = HelperTop(L"Progman", L"desktop-progman");
        workerw = HelperTop(L"WorkerW", L"desktop-workerw");
        loneProgman = HelperTop(L"Progman", L"lone-progman");
        shellFrame = HelperTop(L"TShellFrame", L"shell-frame");
        nestedFrame = HelperTop(L"TOuterFrame", L"nested-frame");
        if (!progman || !workerw || !loneProgman || !shellFrame || !nestedFrame) return false;
        progmanView = ::FindWindowExW(progman, nullptr, L"SHELLDLL_DefView", nullptr);
        workerwView = ::FindWindowExW(workerw, nullptr, L"SHELLDLL_DefView", nullptr);
        loneView = ::FindWindowExW(loneProgman, nullptr, L"TPlainView", nullptr);
        shellFrameView = ::FindWindowExW(shellFrame, nullptr, L"SHELLDLL_DefView", nullptr);
        HWND inner = ::FindWindowExW(nestedFrame, nullptr, L"Progman", nullptr);
        nestedView = inner ? ::FindWindowExW(inner, nullptr, L"SHELLDLL_DefView", nullptr) : nullptr;
        return progmanView && workerwView && loneView && shellFrameView && nestedView &&
               ::IsWindowVisible(nestedView);
    }

    // Middle-clicks at pt with the keys held until `wnd` (the window under pt)
    // has received the button-up. The hook runs before the window sees the
    // message, so what it posted is in our queue by then; returns the number
    // of WM_DESKTOPMCLICK that arrived.
    int MiddleClick(HWND wnd, POINT pt, std::vector<WORD> keys = {}) {
        int before = sinkLog.clicks;
        LONG ups = ButtonUps(wnd);
        // The cursor is put first: a move that reaches the display makes Wine
        // take the keys' state from it again, and that drops keys held by input.
        EXPECT_TRUE(CursorRestsAt(pt));
        {
            HeldKeys held(std::move(keys));
            // The button events carry the position too, so a late cursor
            // update from the X server cannot take them elsewhere.
            INPUT in[2]{};
            for (INPUT& i : in) {
                i.type = INPUT_MOUSE;
                i.mi.dx = Normalised(pt.x, ::GetSystemMetrics(SM_CXSCREEN));
                i.mi.dy = Normalised(pt.y, ::GetSystemMetrics(SM_CYSCREEN));
                i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
            }
            in[0].mi.dwFlags |= MOUSEEVENTF_MIDDLEDOWN;
            in[1].mi.dwFlags |= MOUSEEVENTF_MIDDLEUP;
            EXPECT_EQ(::SendInput(2, in, sizeof(INPUT)), 2u);
            EXPECT_TRUE(WaitUntil([&] { return ButtonUps(wnd) > ups; }, 5000))
                << "the click did not reach the window under the cursor";
        }
        EXPECT_EQ(ButtonUps(wnd), ups + 1);
        PumpMessages(100);
        return sinkLog.clicks - before;
    }

    int MiddleClick(HWND wnd, std::vector<WORD> keys = {}) { return MiddleClick(wnd, Centre(wnd), std::move(keys)); }

    gui::OwnedWindow sink;
    HookLibrary lib;
    ShareRecord share;
    ChildProcess desktop;
    bool installed = false;
    HWND progman = nullptr, progmanView = nullptr, workerw = nullptr, workerwView = nullptr;
    HWND loneProgman = nullptr, loneView = nullptr, shellFrame = nullptr, shellFrameView = nullptr;
    HWND nestedFrame = nullptr, nestedView = nullptr;
};

TEST_F(DesktopClick, OnlyTheDesktopsTopLevelWindowsCount) {
    ASSERT_FALSE(lib.SetKey(0, 0));
    RECT strip;
    ::GetWindowRect(progman, &strip);
    struct Case {
        const char* what;
        HWND wnd;
        POINT pt;
        HWND expectedTop;  // nullptr: nothing may be posted
    } cases[] = {
        {"shell view of Progman", progmanView, Centre(progmanView), progman},
        {"Progman itself", progman, POINT{(strip.left + strip.right) / 2, strip.top + 20}, progman},
        {"shell view of WorkerW", workerwView, Centre(workerwView), workerw},
        {"Progman without a shell view", loneView, Centre(loneView), nullptr},
        {"shell view in another frame", shellFrameView, Centre(shellFrameView), nullptr},
        {"Progman that is a child window", nestedView, Centre(nestedView), nullptr},
        {"a window of the hooking process", sink.get(), Centre(sink.get()), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::WindowFromPoint(c.pt), c.wnd);
        int posted = MiddleClick(c.wnd, c.pt);
        if (c.expectedTop) {
            EXPECT_EQ(posted, 1);
            EXPECT_EQ(sinkLog.wParam, 0u);
            EXPECT_EQ(sinkLog.lParam, reinterpret_cast<LPARAM>(c.expectedTop));
        } else {
            EXPECT_EQ(posted, 0);
        }
    }
}

std::string KeysText(const std::vector<WORD>& keys) {
    std::string text;
    for (WORD k : keys) text += std::string(text.empty() ? "" : "+") + (k == VK_CONTROL ? "Ctrl" : "Shift");
    return text.empty() ? "nothing" : text;
}

TEST_F(DesktopClick, ModifierRule) {
    struct Case {
        BYTE needCtrl, needShift;
        std::vector<WORD> held;
        int posted;
    } cases[] = {
        {0, 0, {}, 1},
        {0, 0, {VK_CONTROL}, 0},
        {0, 0, {VK_SHIFT}, 0},
        {0, 0, {VK_CONTROL, VK_SHIFT}, 0},
        {1, 0, {VK_CONTROL}, 1},
        {1, 0, {VK_CONTROL, VK_SHIFT}, 1},
        {1, 0, {}, 0},
        {1, 0, {VK_SHIFT}, 0},
        {0, 1, {VK_SHIFT}, 1},
        {0, 1, {VK_CONTROL, VK_SHIFT}, 1},
        {0, 1, {}, 0},
        {0, 1, {VK_CONTROL}, 0},
        {1, 1, {VK_SHIFT}, 1},  // Shift decides alone
        {1, 1, {VK_CONTROL}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Func_SetKey(" << int(c.needCtrl) << ", " << int(c.needShift)
                                        << "), held: " << KeysText(c.held));
        lib.SetKey(c.needCtrl, c.needShift);
        EXPECT_EQ(MiddleClick(progmanView, c.held), c.posted);
    }
}

// Any process can write the record; a target that is no window must not turn
// the post into a thread message inside the desktop's process or a broadcast.
TEST_F(DesktopClick, PostsOnlyToARealWindow) {
    lib.SetKey(0, 0);
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    for (HWND target : {static_cast<HWND>(nullptr), HWND_BROADCAST, gone}) {
        SCOPED_TRACE(testing::Message() << "TargetWnd " << target);
        share->TargetWnd = target;
        EXPECT_EQ(MiddleClick(progmanView), 0);
        EXPECT_EQ(::SendMessageW(progman, kQueryThreadPosts, 0, 0), 0);
    }
    share->TargetWnd = sink.get();
    EXPECT_EQ(MiddleClick(progmanView), 1) << "a real target is served again";
}

}  // namespace
