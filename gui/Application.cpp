#include "gui/Application.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/ComCtrls.h"
#include "gui/HintWindow.h"
#include "gui/Input.h"
#include "gui/Menus.h"
#include "gui/WindowClass.h"

namespace gui {

TApplication* Application = nullptr;

namespace {
const wchar_t kAppClass[] = L"TApplication";
const UINT_PTR kHintShowTimer = 1, kHintHideTimer = 2, kHintReshowTimer = 3;
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
    wc.hIcon = Icon();
    wc.lpszClassName = kAppClass;
    RegisterWindowClass(wc);
    // A zero-sized popup that is never shown: it owns the forms, anchors the
    // Z order and can take the foreground for the tray menus.
    handle_ = ::CreateWindowExW(0, kAppClass, title_.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                0, 0, 0, 0, nullptr, nullptr, inst, this);
    // The system's error code goes with the message, and whether the class
    // was still known then: the error log is all a user can send when the
    // program cannot start.
    if (!handle_) {
        const DWORD error = ::GetLastError();
        WNDCLASSEXW known{sizeof(known)};
        const bool classKnown = ::GetClassInfoExW(inst, kAppClass, &known) != FALSE;
        throw Exception(L"アプリケーションウィンドウを作成できません (" + std::to_wstring(error) +
                        (classKnown ? L"" : L", class not registered") + L")");
    }
}

HICON TApplication::Icon() { return ::LoadIconW(::GetModuleHandleW(nullptr), L"MAINICON"); }

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
            case WM_TIMER:
                if (app && (wp == kHintShowTimer || wp == kHintReshowTimer)) {
                    ::KillTimer(wnd, wp);
                    app->ShowHintNow();
                    return 0;
                }
                if (app && wp == kHintHideTimer) {
                    // Hidden until the mouse leaves the control.
                    ::KillTimer(wnd, kHintHideTimer);
                    ::KillTimer(wnd, kHintReshowTimer);
                    app->hintShown_ = false;
                    if (app->hintWindow_) app->hintWindow_->ReleaseHint();
                    return 0;
                }
                break;
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

namespace {

// The pop-up menu of a control takes its keys only while the focus is in
// that control (or a control inside it), so two controls' menus may share a
// key; menus that no control pops up take theirs anywhere in the form.
bool IsFormShortCut(TForm* form, HWND focus, TShortCut key) {
    std::vector<TPopupMenu*> attached;
    for (size_t i = 0; i < form->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(form->Components(i)); control && control->PopupMenu)
            attached.push_back(control->PopupMenu);
    if (form->PopupMenu) attached.push_back(form->PopupMenu);
    for (HWND w = focus; w; w = ::GetParent(w)) {
        if (TWinControl* control = TWinControl::FromHandle(w); control && control->PopupMenu &&
                                                              control->PopupMenu->IsShortCut(key))
            return true;
        if (w == form->Handle()) break;
    }
    for (size_t i = 0; i < form->ComponentCount(); ++i)
        if (auto* menu = dynamic_cast<TPopupMenu*>(form->Components(i));
            menu && std::find(attached.begin(), attached.end(), menu) == attached.end() && menu->IsShortCut(key))
            return true;
    return false;
}

}  // namespace

// The listeners in the order they subscribed. One removed while messages
// are handed round is only emptied then, and the list is tidied once the
// outermost round has ended.
struct TMessageListeners {
    std::vector<std::pair<int, std::function<bool(MSG&)>>> items;
    int nextId = 1;
    int rounds = 0;

    void Remove(int id) noexcept {
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (it->first != id) continue;
            if (rounds > 0) it->second = nullptr;
            else items.erase(it);
            return;
        }
    }
    bool HandOut(MSG& msg) {
        ++rounds;
        bool handled = false;
        for (size_t i = items.size(); i-- > 0 && !handled;) {
            if (!items[i].second) continue;
            // A copy: the listener may remove itself while it runs.
            const std::function<bool(MSG&)> listener = items[i].second;
            handled = GuardCallback(false, [&] { return listener(msg); });
        }
        if (--rounds == 0)
            std::erase_if(items, [](const auto& item) { return !item.second; });
        return handled;
    }
};

TMessageListener::TMessageListener(TMessageListener&& other) noexcept
    : listeners_(std::move(other.listeners_)), id_(std::exchange(other.id_, 0)) {}

TMessageListener& TMessageListener::operator=(TMessageListener&& other) noexcept {
    if (this != &other) {
        Reset();
        listeners_ = std::move(other.listeners_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void TMessageListener::Reset() noexcept {
    if (auto listeners = listeners_.lock(); listeners && id_) listeners->Remove(id_);
    listeners_.reset();
    id_ = 0;
}

TMessageListener TApplication::ListenToMessages(std::function<bool(MSG&)> listener) {
    if (!listeners_) listeners_ = std::make_shared<TMessageListeners>();
    const int id = listeners_->nextId++;
    listeners_->items.emplace_back(id, std::move(listener));
    return TMessageListener(listeners_, id);
}

void TApplication::Dispatch(MSG& msg) {
    if (listeners_ && listeners_->HandOut(msg)) return;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
        HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
        auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
        if (form && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
            TShortCut key = ShortCut(static_cast<WORD>(msg.wParam), KeyShiftState());
            if (IsFormShortCut(form, msg.hwnd, key)) return;
        }
        if (form && form->DialogKeys && (form->DialogKey(msg) || ::IsDialogMessageW(root, &msg)))
            return;
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
    CancelHint();
    DestroyComponents();
    hintWindow_ = nullptr;
}

THintWindow* TApplication::HintWindow() {
    if (!hintWindow_) {
        hintWindow_ = new THintWindow(this);
        FreeNotification(hintWindow_);
    }
    return hintWindow_;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    if (operation != TOperation::opRemove) return;
    if (component == hintWindow_) hintWindow_ = nullptr;
    if (component == hintControl_) {
        hintControl_ = nullptr;
        hintShown_ = false;
        if (handle_) ::KillTimer(handle_, kHintShowTimer), ::KillTimer(handle_, kHintHideTimer),
            ::KillTimer(handle_, kHintReshowTimer);
        if (hintWindow_) hintWindow_->ReleaseHint();
    }
}

void TApplication::HintMouseMove(TControl* control) {
    if (!handle_ || control == hintControl_) return;
    if (control == hintWindow_) return;
    CancelHint();
    if (!ShowHint || !control->ShowHint || control->Hint.empty()) return;
    hintControl_ = control;
    FreeNotification(control);
    ::SetTimer(handle_, kHintShowTimer, HintPause, nullptr);
}

void TApplication::HintMouseLeave(TControl* control) {
    if (control == hintControl_) CancelHint();
}

void TApplication::CancelHint() {
    if (handle_) {
        ::KillTimer(handle_, kHintShowTimer);
        ::KillTimer(handle_, kHintHideTimer);
        ::KillTimer(handle_, kHintReshowTimer);
    }
    if (hintControl_) RemoveFreeNotification(hintControl_);
    hintControl_ = nullptr;
    hintShown_ = false;
    if (hintWindow_) hintWindow_->ReleaseHint();
}

void TApplication::SetHint(const std::wstring& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) {
        auto handler = OnHint;
        handler();
    }
    HWND formWnd = hintForm_ ? hintForm_ : ::GetActiveWindow();
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(formWnd));
    if (!form) return;
    std::vector<TStatusBar*> bars;
    for (size_t i = 0; i < form->ComponentCount(); ++i)
        if (auto* bar = dynamic_cast<TStatusBar*>(form->Components(i)); bar && bar->AutoHint) bars.push_back(bar);
    for (TStatusBar* bar : bars) bar->ShowAutoHint(hint_);
}

void TApplication::MouseHint(TControl* control, const std::wstring& hint) {
    if (control == hintWindow_) return;
    auto* win = dynamic_cast<TWinControl*>(control);
    TForm* form = control->ParentForm();
    hintSource_ = win ? win->Handle() : nullptr;
    hintForm_ = form ? form->Handle() : nullptr;
    SetHint(hint);
}

void TApplication::MouseHintLeave(TControl* control) {
    auto* win = dynamic_cast<TWinControl*>(control);
    if (!win || !hintSource_ || win->Handle() != hintSource_) return;
    hintSource_ = nullptr;
    SetHint(L"");
}

void TApplication::ShowHintNow() {
    TControl* control = hintControl_;
    auto* win = dynamic_cast<TWinControl*>(control);
    if (!win || !win->HandleAllocated()) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    THintInfo info;
    info.HintControl = control;
    info.HintPos = POINT{cursor.x, cursor.y + ::GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
    info.CursorRect = win->ClientRect();
    std::wstring text = control->Hint;
    bool canShow = true;
    if (OnShowHint) {
        auto handler = OnShowHint;
        handler(text, canShow, info);
    }
    if (hintControl_ != control) return;
    if (!canShow || text.empty()) {
        if (hintWindow_) hintWindow_->ReleaseHint();
        hintShown_ = false;
        return;
    }
    THintWindow* hw = HintWindow();
    RECT r = hw->CalcHintRect(info.HintMaxWidth, text);
    ::OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    hw->ActivateHint(r, text);
    hintShown_ = true;
    ::SetTimer(handle_, kHintHideTimer, info.HideTimeout > 0 ? info.HideTimeout : HintHidePause, nullptr);
    if (info.ReshowTimeout > 0) ::SetTimer(handle_, kHintReshowTimer, info.ReshowTimeout, nullptr);
}

void HandleCallbackException(std::exception_ptr e) noexcept {
    DWORD lastError = ::GetLastError();
    // The value the error left behind, when unwinding has cleared it since.
    if (lastError == 0) {
        try {
            std::rethrow_exception(e);
        } catch (const Exception& own) {
            lastError = own.LastError();
        } catch (...) {
        }
    }
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

HWND MainFormWindow() {
    return Application && Application->MainForm() ? Application->MainForm()->Handle() : nullptr;
}

}  // namespace gui
