#include "gui/Application.h"

#include "gui/Callback.h"
#include "gui/Exception.h"

namespace gui {

TApplication* Application = nullptr;

namespace {
const UINT kReleaseMessage = WM_APP + 0x3F0;  // from TForm::Release
const wchar_t kAppClass[] = L"TApplication";
}  // namespace

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
    DestroyForms();
    if (handle_ && ::IsWindow(handle_)) ::DestroyWindow(handle_);
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    if (handle_) return;
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = inst;
    wc.hIcon = ::LoadIconW(inst, L"MAINICON");
    wc.lpszClassName = kAppClass;
    ::RegisterClassExW(&wc);
    // A zero-sized popup that is never shown: it owns the forms, anchors the
    // Z order and can take the foreground for the tray menus.
    handle_ = ::CreateWindowExW(0, kAppClass, title_.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                0, 0, 0, 0, nullptr, nullptr, inst, this);
    if (!handle_) throw Exception(L"アプリケーションウィンドウを作成できません");
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (handle_) ::SetWindowTextW(handle_, title_.c_str());
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardCallback(LRESULT{0}, [&]() -> LRESULT {
        TApplication* app = Application;
        switch (msg) {
            case kReleaseMessage:
                if (app) {
                    auto* form = reinterpret_cast<TForm*>(lp);
                    for (size_t i = 0; i < app->ComponentCount(); ++i) {
                        if (app->Components(i) == form) {
                            if (app->mainForm_ == form) app->mainForm_ = nullptr;
                            TComponent::Free(form);
                            break;
                        }
                    }
                }
                return 0;
            case WM_ACTIVATEAPP:
                if (!wp && app && app->OnDeactivate) app->OnDeactivate();
                break;
            case WM_CLOSE:
                if (app && app->mainForm_) app->mainForm_->Close();
                return 0;
            default:
                break;
        }
        return ::DefWindowProcW(wnd, msg, wp, lp);
    });
}

void TApplication::Dispatch(MSG& msg) {
    bool handled = false;
    if (OnMessage) handled = GuardCallback(false, [&] { return OnMessage(msg); });
    if (handled) return;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
        auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
        if (form && form->DialogKeys && ::IsDialogMessageW(root, &msg)) return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool TApplication::HandleMessage() {
    MSG msg;
    BOOL r = ::GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) {
        terminated_ = true;
        if (r == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));  // let outer loops end too
        return false;
    }
    Dispatch(msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void TApplication::Run() {
    if (ShowMainForm && mainForm_) mainForm_->Show();
    while (!terminated_) {
        MSG msg;
        BOOL r = ::GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1) break;
        Dispatch(msg);
    }
    terminated_ = true;
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    return ::MessageBoxW(handle_, text.c_str(), caption.c_str(), flags);
}

void TApplication::HandleException(const std::exception_ptr& e) noexcept {
    DWORD lastError = ::GetLastError();
    try {
        if (OnException) {
            ::SetLastError(lastError);
            OnException(e);
            return;
        }
        ::MessageBoxW(handle_, ExceptionMessage(e).c_str(), title_.c_str(), MB_ICONERROR);
    } catch (...) {
        // An error inside the error handler has nowhere else to go.
    }
}

void TApplication::DestroyForms() noexcept {
    mainForm_ = nullptr;
    DestroyComponents();
}

void HandleCallbackException(std::exception_ptr e) noexcept {
    DWORD lastError = ::GetLastError();
    if (Application) {
        ::SetLastError(lastError);
        Application->HandleException(e);
        return;
    }
    try {
        ::MessageBoxW(nullptr, ExceptionMessage(e).c_str(), L"Error", MB_ICONERROR);
    } catch (...) {
    }
}

}  // namespace gui
