#include "tests/support/TestSupport.h"

#include "gui/FileIO.h"

namespace testing_support {

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
    std::string b;
    gui::ReadWholeFile(path, b);
    return b;
}

ChildProcess::~ChildProcess() {
    if (process_ && Running()) Terminate();
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

BOOL CALLBACK CollectBoxes(HWND w, LPARAM lp) {
    auto* scan = reinterpret_cast<BoxScan*>(lp);
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w) && WindowProcessId(w) == scan->pid)
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

// The id of the box's default button (a message box's first), else IDOK.
WORD DefaultButtonId(HWND box) {
    WORD id = IDOK;
    ::EnumChildWindows(box, FindDefaultButton, reinterpret_cast<LPARAM>(&id));
    return id;
}

}  // namespace

DialogAutoCloser::DialogAutoCloser() : DialogAutoCloser(0) {}

DialogAutoCloser::DialogAutoCloser(WORD button, std::function<void(HWND box)> beforeAnswer)
    : button_(button), beforeAnswer_(std::move(beforeAnswer)) {
    ::InitializeCriticalSection(&lock_);
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
}

DialogAutoCloser::~DialogAutoCloser() {
    ::SetEvent(stop_.get());
    ::WaitForSingleObject(thread_.get(), 5000);
    ::DeleteCriticalSection(&lock_);
}

std::vector<std::wstring> DialogAutoCloser::Texts() {
    ::EnterCriticalSection(&lock_);
    auto copy = texts_;
    ::LeaveCriticalSection(&lock_);
    return copy;
}

DWORD WINAPI DialogAutoCloser::Run(void* p) {
    auto* self = static_cast<DialogAutoCloser*>(p);
    while (::WaitForSingleObject(self->stop_.get(), 50) == WAIT_TIMEOUT) {
        BoxScan scan{::GetCurrentProcessId(), {}};
        ::EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&scan));
        for (HWND box : scan.boxes) {
            wchar_t text[1024] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the message text
            ::EnterCriticalSection(&self->lock_);
            self->texts_.push_back(text);
            ::LeaveCriticalSection(&self->lock_);
            if (self->beforeAnswer_) self->beforeAnswer_(box);
            WORD id = self->button_ ? self->button_ : DefaultButtonId(box);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            ::Sleep(100);
        }
    }
    return 0;
}

}  // namespace testing_support
