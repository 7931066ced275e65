// The history capture. All of it runs on the GUI thread; the Recent
// watcher's worker only posts to its component, whose event sets FRecentFile.
#include "app/history/HisCapture.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "app/Tray.h"
#include "app/history/HisLists.h"
#include "app/history/Launch.h"
#include "components/MakeShortCuts.h"
#include "components/Watch.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "gui/Handles.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"
#include "toolkit/Wow64.h"

namespace {

const int kRecentShellFolder = 6;  // "Recent" in ShellFolderNames
const int kBuf = 260;

std::wstring FileNameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The folder holding the file: "C:\a\b.txt" gives "C:\a", "C:\b.txt" gives "C:\".
std::wstring FolderOfFile(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return L"";
    std::wstring dir = path.substr(0, slash);
    if (dir.size() == 2 && dir[1] == L':') dir += L'\\';
    return dir;
}

bool IsNetworkPath(const std::wstring& path) { return path.find(L"\\\\") != std::wstring::npos; }

// Local paths are kept in their long, true-case form.
std::wstring LongFormUnlessNetwork(const std::wstring& path) {
    if (IsNetworkPath(path)) return path;
    std::wstring longPath;
    GetLongPathNameStr(path, longPath);
    return longPath.empty() ? path : longPath;
}

bool HasClass(HWND wnd, const wchar_t* className) {
    wchar_t buf[kBuf + 1] = {};
    return ::GetClassNameW(wnd, buf, kBuf) > 0 && std::wcscmp(buf, className) == 0;
}

// The window's text as WM_GETTEXT gives it (260 characters), read a second
// time when the first read gave nothing. A window that does not answer
// gives '' instead of stopping the heartbeat.
std::wstring ReadWindowText(HWND wnd) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        wchar_t buf[kBuf + 1] = {};
        DWORD_PTR copied = 0;
        if (::SendMessageTimeoutW(wnd, WM_GETTEXT, kBuf, reinterpret_cast<LPARAM>(buf),
                                  SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &copied) &&
            buf[0] != L'\0')
            return buf;
    }
    return L"";
}

// The clipboard, open for the lifetime of a scope and closed on every way out.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL mem) : mem_(mem), p_(mem ? ::GlobalLock(mem) : nullptr) {}
    ~GlobalLockScope() {
        if (p_) ::GlobalUnlock(mem_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const wchar_t* Text() const { return static_cast<const wchar_t*>(p_); }
    size_t MaxChars() const { return p_ ? ::GlobalSize(mem_) / sizeof(wchar_t) : 0; }

private:
    HGLOBAL mem_;
    void* p_;
};

enum class ClipRead { NotOpened, NoText, Text };

// One try at the clipboard's text. The text is copied out only when it is
// shorter than limit and differs from last, so an unchanged or oversized
// text costs no allocation; the clipboard is closed before returning.
ClipRead ReadClipboardText(HWND owner, size_t limit, const std::wstring& last, std::wstring& text,
                           bool& isNew) {
    isNew = false;
    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen()) return ClipRead::NotOpened;
    // Windows offers CF_TEXT for Unicode text too.
    if (!::IsClipboardFormatAvailable(CF_TEXT)) return ClipRead::NoText;
    GlobalLockScope data(::GetClipboardData(CF_UNICODETEXT));
    if (!data.Text()) return ClipRead::NoText;
    // Another program's data need not end with a NUL: never read past its block.
    size_t len = ::wcsnlen(data.Text(), std::min(data.MaxChars(), limit));
    if (len == 0 || len >= limit) return ClipRead::Text;
    if (len == last.size() && std::wmemcmp(data.Text(), last.data(), len) == 0) return ClipRead::Text;
    text.assign(data.Text(), len);
    isNew = true;
    return ClipRead::Text;
}

std::wstring OwnProgramFileName() { return FileNameOf(ProgramFilePath()); }

}  // namespace

// ------------------------------------------------------------ text decisions

int Proc_InsertByTime(const std::vector<TRecentShortcut>& list, ULONGLONG time) {
    // The first position whose time is older. Stopping at the first equal
    // time met would put a shortcut between two others of its time, ahead
    // of one that was listed before it.
    size_t low = 0, high = list.size();
    while (low < high) {
        size_t mid = (low + high) / 2;
        if (list[mid].Time >= time)
            low = mid + 1;
        else
            high = mid;
    }
    return static_cast<int>(low);
}

TProgramPlaces CurrentProgramPlaces() {
    TProgramPlaces places;
    places.OwnFileName = OwnProgramFileName();
    GetWindowsDir(places.WindowsDir);
    std::wstring boot;
    GetBootDrive(boot);
    // The root of the boot folder ("C:\" say); without one nothing is skipped.
    if (boot.size() >= 3) places.WindowsAppsDir = boot.substr(0, 3) + L"Program Files\\WindowsApps\\";
    places.Windows11 = IsWindows11();
    return places;
}

bool IsSkippedProgramName(const std::wstring& path, const std::wstring& ownFileName) {
    std::wstring name = LowerCase(FileNameOf(path));
    return name == LowerCase(ownFileName) || name.find(L"setup") != std::wstring::npos ||
           name == L"msiexec.exe";
}

bool AdmitProgramPlace(std::wstring& path, const TProgramPlaces& places) {
    std::wstring lower = LowerCase(path);
    std::wstring windows = LowerCase(places.WindowsDir);
    for (const wchar_t* part : {L"\\SystemApps\\", L"\\System32\\rundll32.exe",
                                L"\\System32\\ApplicationFrameHost.exe"})
        if (lower.find(windows + LowerCase(part)) != std::wstring::npos) return false;
    if (places.WindowsAppsDir.empty()) return true;
    std::wstring apps = LowerCase(places.WindowsAppsDir);
    if (lower.compare(0, apps.size(), apps) != 0) return true;
    // The store's Notepad stands for the one that comes with Windows.
    if (places.Windows11 && LowerCase(FileNameOf(path)) == L"notepad.exe") {
        path = places.WindowsDir + L"\\notepad.exe";
        return true;
    }
    return false;
}

// ------------------------------------------------------------ the poll

THisCapture::THisCapture(THisLists& lists, THisCaptureLinks links) : lists_(lists), links_(std::move(links)) {}

THisCapture::~THisCapture() = default;

void THisCapture::Proc_TimerHis(HWND foreground, bool changed) {
    if (changed) links_.ForegroundChanged(foreground);
    if (TrayForm && TrayForm->PPHisStop && TrayForm->PPHisStop->Checked()) return;
    Proc_CaptureRecent();
    Proc_CaptureExe(foreground);
    Proc_CaptureDialogDir(foreground);
    Proc_CaptureExplorerDir(foreground, 4);
    Proc_CaptureExplorerDir(foreground, 3);
    Proc_CaptureClip();
}

void THisCapture::Proc_RefreshRecorded(int c, int old) {
    if (old != 0) links_.ShowAgain(c);
}

void THisCapture::Proc_StartRecentWatch() {
    GetShellFolderPath(kRecentShellFolder, MRecentDir);
    if (MRecentDir == L"\\" || !DirectoryExistsSafe(MRecentDir)) MRecentDir.clear();

    watcher_ = std::make_unique<TDirectoryWatcher>(nullptr);
    watcher_->Delay = true;
    watcher_->SetDelayTime(250);
    watcher_->OnChange = [this](TDirectoryWatcher*, const std::wstring& dir) {
        FRecentFile = !MRecentDir.empty() && MRecentDir != L"\\" && DirectoryExistsSafe(MRecentDir) &&
                      MRecentDir == dir;
    };
    watcher_->SetDirectory(MRecentDir);
}

void THisCapture::Proc_StopRecentWatch() { watcher_.reset(); }

// ------------------------------------------------------------ the recorders

void THisCapture::Proc_CaptureRecent() {
    if (!FRecentFile) return;
    FRecentFile = false;
    gui::TCursorScope wait(gui::TCursor::crHourGlass);

    std::vector<TRecentShortcut> shortcuts;
    WIN32_FIND_DATAW fd;
    gui::FindHandle find(::FindFirstFileW((MRecentDir + L"*.lnk").c_str(), &fd));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &fd) != FALSE) {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring name = fd.cFileName;
        // A short name can match the pattern for a longer extension.
        if (name.size() < 4 || LowerCase(name.substr(name.size() - 4)) != L".lnk") continue;
        if (!IsValidFileName(name)) continue;
        ULONGLONG time = (static_cast<ULONGLONG>(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                         fd.ftLastWriteTime.dwLowDateTime;
        int at = Proc_InsertByTime(shortcuts, time);
        shortcuts.insert(shortcuts.begin() + at, TRecentShortcut{MRecentDir + name, time});
    }
    // Shortcuts to folders and to files without an extension are no documents.
    for (size_t i = shortcuts.size(); i-- > 0;) {
        std::wstring stem = FileNameOf(shortcuts[i].Path);
        stem.resize(stem.size() - 4);
        if (stem.find(L'.') == std::wstring::npos) shortcuts.erase(shortcuts.begin() + i);
    }

    int old = -1;
    if (!shortcuts.empty()) {
        TMakeShortCuts reader(nullptr);
        reader.SCSystemPath = tpBlank;
        reader.SCFileName = shortcuts.front().Path;
        reader.SCLoad();
        std::wstring target;
        CutAtNul(reader.SCExecFile, target);
        if (!target.empty() && FileExistsNoRedirect(target))
            old = lists_.RecordHistoryEntry(1, LongFormUnlessNetwork(target));
    }
    lists_.Proc_DeleteFileHis(1);
    links_.FillMenu(1);
    Proc_RefreshRecorded(1, old);
}

void THisCapture::Proc_CaptureExe(HWND wnd) {
    if (!wnd || wnd == MExe) return;
    MExe = wnd;
    std::wstring path;
    GetWindowExePath(wnd, path);
    if (path.empty()) return;
    TProgramPlaces places = CurrentProgramPlaces();
    if (IsSkippedProgramName(path, places.OwnFileName)) return;
    path = LongFormUnlessNetwork(path);
    if (!FileExistsNoRedirect(path)) return;
    if (!AdmitProgramPlace(path, places)) return;
    int old = links_.Record(2, path);
    if (LaunchForm) LaunchForm->Proc_DispData(0);
    Proc_RefreshRecorded(2, old);
}

void THisCapture::Proc_CaptureDialogDir(HWND wnd) {
    // The class test first: it is the cheap one, and most windows fail it.
    if (!wnd || !IsFileDialogWindow(wnd) || !IsNormalAppWindow(wnd, true) || !::IsWindowEnabled(wnd))
        return;
    std::wstring path;
    if (IsVistaOrLater()) {
        GetExplorerAddressBarPath(wnd, path);
        if (path == MDlgAdrB) return;
        MDlgAdrB = path;
    } else {
        GetLastOpenSaveMRUFile(path);
        if (FileExistsNoRedirect(path)) path = FolderOfFile(path);
    }
    if (path.empty() || !DirectoryExistsNoRedirect(path)) return;
    path = LongFormUnlessNetwork(path);
    links_.Record(4, path);
    // Both folder categories follow the file dialog's folder.
    int old = links_.Record(3, path);
    Proc_RefreshRecorded(3, old);
    Proc_RefreshRecorded(4, old);
}

void THisCapture::Proc_CaptureExplorerDir(HWND wnd, int c) {
    if (!wnd || !HasClass(wnd, c == 4 ? L"ExploreWClass" : L"CabinetWClass")) return;
    if (!IsNormalAppWindow(wnd, true) || !::IsWindowEnabled(wnd)) return;
    std::wstring path;
    if (links_.ExplorerTabs()) {
        // With tabs the title of the current tab holds the folder.
        HWND tab = ::FindWindowExW(wnd, nullptr, L"ShellTabWindowClass", nullptr);
        path = ReadWindowText(tab ? tab : wnd);
    } else {
        const bool vista = IsVistaOrLater();
        static const wchar_t* const kVistaChain[] = {L"WorkerW",           L"ReBarWindow32",
                                                     L"Address Band Root", L"msctls_progress32",
                                                     L"Breadcrumb Parent", L"ToolbarWindow32"};
        static const wchar_t* const kOldChain[] = {L"WorkerW", L"ReBarWindow32", L"ComboBoxEx32"};
        HWND bar = wnd;
        if (vista) {
            for (const wchar_t* cls : kVistaChain)
                if (!(bar = ::FindWindowExW(bar, nullptr, cls, nullptr))) return;
        } else {
            for (const wchar_t* cls : kOldChain)
                if (!(bar = ::FindWindowExW(bar, nullptr, cls, nullptr))) return;
        }
        path = ReadWindowText(bar);
        ::Sleep(50);
        // The breadcrumb's text starts with its label ("アドレス: ").
        if (vista) path.erase(0, std::min<size_t>(6, path.size()));
    }
    if (path.empty() || !DirectoryExistsNoRedirect(path)) return;
    path = LongFormUnlessNetwork(path);
    if (path == MExpDir) return;
    MExpDir = path;
    int old = links_.Record(c, path);
    Proc_RefreshRecorded(c, old);
}

void THisCapture::Proc_CaptureClip() {
    const int limit = 1024 * lists_.Settings.UDMaxClip;
    // Read before the clipboard is: a change during the read shows next time.
    DWORD sequence = ::GetClipboardSequenceNumber();
    // Nothing changed since the last look under the same limit: the text
    // would be judged as it was then.
    if (sequence != 0 && sequence == FClipSequence && limit == FClipSequenceLimit) return;

    HWND owner = gui::Application ? gui::Application->Handle() : nullptr;
    std::wstring text;
    bool isNew = false;
    ClipRead result = ClipRead::NotOpened;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0) ::Sleep(100);
        result = ReadClipboardText(owner, limit > 0 ? static_cast<size_t>(limit) : 0, MClipB, text, isNew);
        // Only a clipboard another program holds open is worth another try.
        if (result != ClipRead::NotOpened) break;
    }
    // Held open throughout: the next tick looks again.
    if (result == ClipRead::NotOpened) return;
    FClipSequence = sequence;
    FClipSequenceLimit = limit;
    if (!isNew) return;

    if (lists_.Settings.CHKWave && FileExistsSafe(lists_.Settings.EditWave)) PlayWaveFile(lists_.Settings.EditWave);
    MClipB = text;
    int old = links_.Record(0, text);
    Proc_RefreshRecorded(0, old);
}
