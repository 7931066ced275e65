#include "gui/Thread.h"

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/UtilWindow.h"

namespace gui {

namespace {
const UINT kThreadDone = WM_APP + 0x3F1;
}

TThread::TThread() {
    window_ = std::make_unique<TUtilWindow>(L"TThreadWindow", [this](UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != kThreadDone) return false;
        Terminated_GuiThread();
        r = 0;
        return true;
    });
}

TThread::~TThread() {
    *alive_ = false;
    Terminate();
    WaitFor();
}

void TThread::Start() {
    if (thread_) return;
    DWORD id = 0;
    thread_.reset(::CreateThread(nullptr, 0, ThreadProc, this, 0, &id));
    if (!thread_) throw Exception(L"スレッドを開始できません");
}

void TThread::WaitFor() noexcept {
    if (thread_ && ::GetCurrentThreadId() != ::GetThreadId(thread_.get()))
        ::WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI TThread::ThreadProc(void* param) {
    auto* self = static_cast<TThread*>(param);
    try {
        self->Execute();
    } catch (...) {
        self->error_ = std::current_exception();
    }
    HWND wnd = self->window_->Handle();
    self->finished_ = true;
    // The object may be freed from here on: only the copied handle is used.
    ::PostMessageW(wnd, kThreadDone, 0, 0);
    return 0;
}

void TThread::Terminated_GuiThread() {
    if (error_) {
        std::exception_ptr e = std::exchange(error_, nullptr);
        HandleCallbackException(e);
    }
    if (!OnTerminate) return;
    auto handler = OnTerminate;
    handler(this);
}

}  // namespace gui
