#include "tests/support/TestSupport.h"

#include <algorithm>
#include <utility>

#include "gui/FileIO.h"

namespace testing_support {

namespace {

// Every program a test starts, itself or through the code under test, is in
// the test program's job, which kills them all when the test program ends,
// however it ends: no helper outlives its test. The job's handle stays open
// for the life of the process on purpose; closing it is what kills.
struct ChildrenEndWithTheTest {
    ChildrenEndWithTheTest() {
        HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
        if (!job) return;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
        info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info);
        ::AssignProcessToJobObject(job, ::GetCurrentProcess());
    }
} const childrenEndWithTheTest;

}  // namespace

std::wstring BinDir() {
    wchar_t buf[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::wstring p(buf, n);
    return p.substr(0, p.rfind(L'\\') + 1);
}

ScratchDir::ScratchDir() {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    static int counter = 0;
    wchar_t name[64];
    ::swprintf(name, 64, L"orvtest-%lu-%d-%lu", ::GetCurrentProcessId(), ++counter, ::GetTickCount());
    path_ = std::wstring(tmp) + name;
    ::CreateDirectoryW(path_.c_str(), nullptr);
    path_ += L"\\";
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
    std::wstring dir = path;
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    DWORD attr = ::GetFileAttributesW(dir.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return;
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(dir.c_str());
        return;
    }
    WIN32_FIND_DATAW fd;
    gui::FindHandle h(::FindFirstFileW((dir + L"\\*").c_str(), &fd));
    if (h) {
        do {
            std::wstring n = fd.cFileName;
            if (n == L"." || n == L"..") continue;
            RemoveTree(dir + L"\\" + n);
        } while (::FindNextFileW(h.get(), &fd));
    }
    h.reset();
    ::RemoveDirectoryW(dir.c_str());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    return gui::WriteWholeFile(path, bytes);
}

std::string ReadBytes(const std::wstring& path) {
    // Delete sharing too: a file another program has just put in place by a
    // rename is still open for deletion by that rename for a moment.
    std::string b;
    gui::ReadWholeFile(path, b, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    return b;
}

ChildProcess::~ChildProcess() {
    if (process_ && Running()) Terminate();
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        if (process_ && Running()) Terminate();
        process_ = std::move(other.process_);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

ChildProcess ChildProcess::Start(const std::wstring& exe, const std::wstring& args) {
    ChildProcess c;
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                         &pi)) {
        ::CloseHandle(pi.hThread);
        c.process_.reset(pi.hProcess);
        c.pid_ = pi.dwProcessId;
    }
    return c;
}

bool ChildProcess::WaitExit(DWORD ms) {
    return !process_ || ::WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::ExitCode() {
    DWORD code = STILL_ACTIVE;
    if (process_) ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void ChildProcess::Terminate() {
    if (!process_) return;
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
}

void PumpMessages(DWORD ms) {
    DWORD end = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (ms) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (::GetTickCount() - start >= timeoutMs) return cond();
        PumpMessages(stepMs);
    }
}

std::vector<HWND> FindTopWindows(const std::wstring& cls, const std::wstring* title) {
    std::vector<HWND> out;
    HWND w = nullptr;
    while ((w = ::FindWindowExW(nullptr, w, cls.c_str(), title ? title->c_str() : nullptr)))
        out.push_back(w);
    return out;
}

DWORD WindowProcessId(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

HWND OpenMenuWindow() {
    for (HWND w : FindTopWindows(L"#32768"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == ::GetCurrentProcessId()) return w;
    return nullptr;
}

std::wstring WindowTextOf(HWND wnd) {
    wchar_t buf[4096] = {};
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &r);
    return buf;
}

std::wstring ClipboardText() {
    bool open = false;
    for (int i = 0; i < 10 && !(open = ::OpenClipboard(nullptr)); ++i) ::Sleep(50);
    if (!open) return L"<not opened>";
    std::wstring text;
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
            text = p;
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return text;
}

}  // namespace testing_support

namespace testing_support {

namespace {

struct BoxScan {
    DWORD pid;
    std::vector<HWND> boxes;
};

// Visible message boxes of the process: dialogs with a message text.
BOOL CALLBACK CollectBoxes(HWND w, LPARAM lp) {
    auto* scan = reinterpret_cast<BoxScan*>(lp);
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w) && WindowProcessId(w) == scan->pid &&
        ::GetDlgItem(w, 0xFFFF))
        scan->boxes.push_back(w);
    return TRUE;
}

BOOL CALLBACK FindDefaultButton(HWND w, LPARAM lp) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (::lstrcmpiW(cls, L"Button") == 0 && (::GetWindowLongW(w, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
        *reinterpret_cast<WORD*>(lp) = static_cast<WORD>(::GetDlgCtrlID(w));
        return FALSE;
    }
    return TRUE;
}

// The id of the box's default button, else IDOK.
WORD DefaultButtonId(HWND box) {
    WORD id = IDOK;
    ::EnumChildWindows(box, FindDefaultButton, reinterpret_cast<LPARAM>(&id));
    return id;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(WORD button, std::function<void(HWND box)> beforeAnswer)
    : button_(button), beforeAnswer_(std::move(beforeAnswer)), thread_([this] { Run(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    stop_ = true;
    thread_.join();
}

std::vector<std::wstring> MessageBoxAnswerer::Texts() {
    std::lock_guard<std::mutex> hold(lock_);
    return texts_;
}

void MessageBoxAnswerer::Run() {
    while (!stop_) {
        BoxScan scan{::GetCurrentProcessId(), {}};
        ::EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&scan));
        for (HWND box : scan.boxes) {
            {
                std::lock_guard<std::mutex> hold(lock_);
                if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
                wchar_t text[1024] = {};
                ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
                texts_.push_back(text);
                answered_.push_back(box);
            }
            if (beforeAnswer_) beforeAnswer_(box);
            WORD id = button_ ? button_ : DefaultButtonId(box);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
        // Handles of boxes that are gone may be reused by new windows.
        {
            std::lock_guard<std::mutex> hold(lock_);
            std::erase_if(answered_, [](HWND w) { return !::IsWindow(w); });
        }
        ::Sleep(20);  // polling interval of the answering thread, not a wait for a result
    }
}

}  // namespace testing_support
