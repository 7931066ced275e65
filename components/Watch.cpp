#include "components/Watch.h"

#include <process.h>
#include <vector>

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/TextHelpers.h"

namespace {

const wchar_t kWatcherClass[] = L"TDirectoryWatcherWindow";
// Starts the worker for the folder the watcher was created with.
const UINT WM_WATCHSTART = WM_FOLDERCHANGED + 1;
const DWORD kNotifyFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                            FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                            FILE_NOTIFY_CHANGE_LAST_WRITE;

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};



}  // namespace

// ---------------------------------------------------------------- TWatchThread

namespace {
// The watch loop needs little stack; the program's default of 2 MB is
// reserved for nothing (and committed whole under some systems).
constexpr unsigned kWatchStack = 256 * 1024;
}  // namespace

TWatchThread::TWatchThread(HWND target, std::wstring directory)
    : FTarget(target),
      FDirectory(std::move(directory)),
      FTerminateEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

TWatchThread::~TWatchThread() = default;

bool TWatchThread::Start() {
    // Without its stop event the thread could never be ended.
    if (!FTerminateEvent || FDirectory.empty()) return false;
    auto* self = new std::shared_ptr<TWatchThread>(shared_from_this());
    HANDLE thread = reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, kWatchStack, ThreadEntry, self, CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION,
                         nullptr));
    if (!thread) {
        delete self;
        return false;
    }
    ::SetThreadPriority(thread, THREAD_PRIORITY_IDLE);
    ::ResumeThread(thread);
    ::CloseHandle(thread);
    return true;
}

void TWatchThread::Stop() {
    {
        ExclusiveLock lock(stopLock_);
        terminated_ = true;
    }
    if (FTerminateEvent) ::SetEvent(FTerminateEvent.get());
}

unsigned __stdcall TWatchThread::ThreadEntry(void* arg) {
    // The thread's own reference: the object goes when the thread ends, or
    // later if the watcher still holds it.
    std::unique_ptr<std::shared_ptr<TWatchThread>> self(static_cast<std::shared_ptr<TWatchThread>*>(arg));
    gui::GuardCallback([&] { (*self)->Execute(); });
    return 0;
}

void TWatchThread::PostChange() {
    ExclusiveLock lock(stopLock_);
    if (!terminated_) ::PostMessageW(FTarget, WM_FOLDERCHANGED, 0, 0);
}

void TWatchThread::Execute() {
    // A folder that cannot be watched (missing, removed since, not a folder)
    // gives no notification: the thread then only waits to be stopped.
    gui::ChangeNotificationHandle notification(
        ::FindFirstChangeNotificationW(FDirectory.c_str(), FALSE, kNotifyFilter));
    while (!terminated_) {
        HANDLE handles[2];
        DWORD count = 0;
        if (notification) handles[count++] = notification.get();
        handles[count++] = FTerminateEvent.get();
        DWORD r = ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
        if (notification && r == WAIT_OBJECT_0) {
            PostChange();
            // A notification that cannot be re-armed would fire for ever.
            if (!::FindNextChangeNotification(notification.get())) notification.reset();
        } else if (r == WAIT_FAILED) {
            if (!notification) return;  // not even the stop event can be waited on
            notification.reset();
        }
    }
}

// ----------------------------------------------------------- TDirectoryWatcher

TDirectoryWatcher::TDirectoryWatcher(gui::TComponent* owner) : gui::TComponent(owner) {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    if (!::GetClassInfoExW(inst, kWatcherClass, &wc)) {
        wc = WNDCLASSEXW{sizeof(wc)};
        wc.lpfnWndProc = WatcherWndProc;
        wc.hInstance = inst;
        wc.lpszClassName = kWatcherClass;
        ::RegisterClassExW(&wc);
    }
    gui::OwnedWindow window(::CreateWindowExW(0, kWatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, inst, nullptr));
    if (!window) throw gui::Exception(L"フォルダー監視のウィンドウを作成できません");

    FTimer = new gui::TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(1000);
    FTimer->OnTimer = [this](gui::TTimer* sender) { OnFolderChangedTimer(sender); };

    FWindowHandle = window.release();
    ::SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FDirectory = ProgramFolder();
    if (!FDirectory.empty()) FDirectory.pop_back();
    // Each thread holds its whole stack, so the first worker waits for the
    // message loop: a folder set before then is the only one watched.
    FStartPending = ::PostMessageW(FWindowHandle, WM_WATCHSTART, 0, 0) != FALSE;
    if (!FStartPending) StartThread();
}

TDirectoryWatcher::~TDirectoryWatcher() {
    StopThread();
    gui::TComponent::Free(FTimer);
    FTimer = nullptr;
    // A change the worker posted before it was stopped finds no watcher.
    ::SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, 0);
    ::DestroyWindow(FWindowHandle);
}

void TDirectoryWatcher::SetDirectory(const std::wstring& value) {
    if (SameText(value, FDirectory)) return;
    FDirectory = value;
    FStartPending = false;
    StopThread();
    // What the old worker posted, and a report still pending, belong to the
    // folder no longer watched. Once stopped it posts nothing more.
    MSG msg;
    while (::PeekMessageW(&msg, FWindowHandle, WM_FOLDERCHANGED, WM_FOLDERCHANGED, PM_REMOVE)) {
    }
    FTimer->SetEnabled(false);
    StartThread();
}

UINT TDirectoryWatcher::DelayTime() const noexcept { return FTimer->Interval(); }

void TDirectoryWatcher::SetDelayTime(UINT ms) { FTimer->SetInterval(ms); }

void TDirectoryWatcher::DoChange() {
    if (OnChange) OnChange(this, FDirectory);
}

void TDirectoryWatcher::StartThread() {
    if (FDirectory.empty()) return;
    auto thread = std::make_shared<TWatchThread>(FWindowHandle, FDirectory);
    if (thread->Start()) FThread = std::move(thread);
}

void TDirectoryWatcher::StopThread() noexcept {
    if (!FThread) return;
    FThread->Stop();
    FThread.reset();
}

void TDirectoryWatcher::FolderChanged() {
    if (Delay) {
        // Off and on again: the report comes DelayTime after the last change.
        FTimer->SetEnabled(false);
        FTimer->SetEnabled(true);
    } else {
        DoChange();
    }
}

void TDirectoryWatcher::OnFolderChangedTimer(gui::TTimer*) {
    // Off first: a change during OnChange starts a new delay instead of
    // being swallowed, and a handler that raises does not repeat each tick.
    FTimer->SetEnabled(false);
    DoChange();
}

LRESULT CALLBACK TDirectoryWatcher::WatcherWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_FOLDERCHANGED) {
        auto* self = reinterpret_cast<TDirectoryWatcher*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self) gui::GuardCallback([self] { self->FolderChanged(); });
        return 0;
    }
    if (msg == WM_WATCHSTART) {
        auto* self = reinterpret_cast<TDirectoryWatcher*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && self->FStartPending)
            gui::GuardCallback([self] {
                self->FStartPending = false;
                self->StartThread();
            });
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}
