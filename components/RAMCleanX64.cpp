#include "components/RAMCleanX64.h"

#include <process.h>

#include <atomic>
#include <mutex>

#include "gui/Exception.h"
#include "gui/Handles.h"
#include "toolkit/AppExecute.h"

namespace {
const UINT WM_CLEANERENDED = WM_APP + 1;
}

struct TRAMCleanX64::Shared {
    std::wstring folder;
    int megabytes = 0;
    HWND target = nullptr;
    std::atomic<bool> terminated{false};
    std::mutex lock;
    std::exception_ptr fatal;
};

TRAMCleanX64::TRAMCleanX64(const std::wstring& programFolder, int megabytes,
                           TNotifyEvent onTerminate)
    : OnTerminate(std::move(onTerminate)), FShared(std::make_shared<Shared>()) {
    FWindow = std::make_unique<gui::TUtilWindow>(
        L"TRAMCleanX64Window",
        [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return WindowMessage(msg, wp, lp, result); });
    FShared->folder = programFolder;
    FShared->megabytes = megabytes;
    FShared->target = FWindow->Handle();
    auto* arg = new std::shared_ptr<Shared>(FShared);
    // Starting the cleaner and waiting for it needs little stack.
    HANDLE thread = reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 256 * 1024, ThreadEntry, arg, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
        delete arg;
        throw gui::Exception(L"スレッドを作成できません。");
    }
    ::CloseHandle(thread);
}

TRAMCleanX64::~TRAMCleanX64() = default;

std::wstring TRAMCleanX64::CommandLine(const std::wstring& programFolder, int megabytes) {
    // Quoted, so a program folder with a blank in its name starts the cleaner
    // and nothing else.
    return L"\"" + programFolder + L"Murvel.exe\" " + std::to_wstring(megabytes);
}

unsigned __stdcall TRAMCleanX64::ThreadEntry(void* arg) {
    std::unique_ptr<std::shared_ptr<Shared>> holder(static_cast<std::shared_ptr<Shared>*>(arg));
    Shared& s = **holder;
    // Nothing leaves the thread: a failure is kept for the owner to see, and
    // the end is always reported to the owner's thread.
    try {
        ExecuteProgram(CommandLine(s.folder, s.megabytes), s.folder, SW_SHOWDEFAULT,
                       NORMAL_PRIORITY_CLASS, epNone, 0, 0, 0, 0, true);
    } catch (...) {
        std::lock_guard<std::mutex> guard(s.lock);
        s.fatal = std::current_exception();
    }
    ::PostMessageW(s.target, WM_CLEANERENDED, 0, 0);
    return 0;
}

bool TRAMCleanX64::WindowMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_CLEANERENDED) return false;
    result = 0;
    FFinished = true;
    if (OnTerminate) OnTerminate(this);
    return true;
}

void TRAMCleanX64::Terminate() { FShared->terminated = true; }

bool TRAMCleanX64::Terminated() const { return FShared->terminated; }

std::exception_ptr TRAMCleanX64::FatalException() const {
    std::lock_guard<std::mutex> guard(FShared->lock);
    return FShared->fatal;
}
