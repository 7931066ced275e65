#include "gui/WinControl.h"

#include <map>

#include "gui/Callback.h"
#include "gui/Exception.h"

namespace gui {

namespace {

const wchar_t kObjectProp[] = L"OrvandelGuiObject";

// The base procedure of each class we registered, by our class name. Only
// the GUI thread registers classes.
std::map<std::wstring, WNDPROC>& BaseProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() { DestroyHandle(); }

TWinControl* TWinControl::FromHandle(HWND wnd) noexcept {
    if (!wnd) return nullptr;
    return static_cast<TWinControl*>(::GetPropW(wnd, kObjectProp));
}

WNDPROC TWinControl::RegisterClassFor(const TCreateParams& params) {
    auto& procs = BaseProcs();
    if (auto it = procs.find(params.ClassName); it != procs.end()) return it->second;

    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    WNDPROC base = ::DefWindowProcW;
    if (!params.BaseClass.empty()) {
        if (!::GetClassInfoExW(nullptr, params.BaseClass.c_str(), &wc))
            throw Exception(L"ウィンドウクラスが見つかりません: " + params.BaseClass);
        base = wc.lpfnWndProc;
        wc.cbSize = sizeof(wc);
    } else {
        wc.style = params.ClassStyle;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = ::LoadIconW(inst, L"MAINICON");
        wc.hIconSm = wc.hIcon;
    }
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = params.ClassName.c_str();
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(L"ウィンドウクラスを登録できません: " + params.ClassName);
    procs[params.ClassName] = base;
    return base;
}

void TWinControl::CreateHandle(const TCreateParams& params) {
    if (handle_) return;
    baseProc_ = RegisterClassFor(params);
    HWND wnd = ::CreateWindowExW(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(),
                                 params.Style, params.X, params.Y, params.Width, params.Height,
                                 params.WndParent, reinterpret_cast<HMENU>(params.Id),
                                 ::GetModuleHandleW(nullptr), this);
    if (!wnd) throw Exception(L"ウィンドウを作成できません: " + params.ClassName);
    handle_ = wnd;
}

void TWinControl::DestroyHandle() noexcept {
    if (handle_ && ::IsWindow(handle_)) ::DestroyWindow(handle_);
    handle_ = nullptr;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<TWinControl*>(::GetPropW(wnd, kObjectProp));
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        self = static_cast<TWinControl*>(cs->lpCreateParams);
        if (self) {
            self->handle_ = wnd;
            ::SetPropW(wnd, kObjectProp, self);
        }
    }
    if (!self) {
        // A window of ours that has lost (or never had) its object.
        auto& procs = BaseProcs();
        wchar_t cls[256] = {};
        ::GetClassNameW(wnd, cls, 256);
        auto it = procs.find(cls);
        return ::CallWindowProcW(it != procs.end() ? it->second : ::DefWindowProcW, wnd, msg, wp,
                                 lp);
    }
    if (msg == WM_NCDESTROY) {
        LRESULT r = ::CallWindowProcW(self->baseProc_, wnd, msg, wp, lp);
        ::RemovePropW(wnd, kObjectProp);
        self->handle_ = nullptr;
        GuardCallback([self] { self->HandleDestroyed(); });
        return r;
    }
    return GuardCallback(LRESULT{0}, [&] { return self->WndProc(msg, wp, lp); });
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) { return DefaultHandler(msg, wp, lp); }

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
    // Notifications of our own child controls go back to the control.
    switch (msg) {
        case WM_COMMAND:
            if (lp)
                if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lp)); child && child != this)
                    if (child->HandleNotify(HIWORD(wp))) return 0;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lp)); child && child != this) {
                HBRUSH brush = nullptr;
                if (child->HandleColor(reinterpret_cast<HDC>(wp), brush))
                    return reinterpret_cast<LRESULT>(brush);
            }
            break;
        default:
            break;
    }
    return ::CallWindowProcW(baseProc_, handle_, msg, wp, lp);
}


LRESULT TWinControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
    return handle_ ? ::SendMessageW(handle_, msg, wp, lp) : 0;
}

bool TWinControl::Visible() const { return handle_ && ::IsWindowVisible(handle_); }

void TWinControl::SetVisible(bool visible) {
    if (handle_) ::ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

std::wstring TWinControl::Caption() const {
    if (!handle_) return {};
    int n = ::GetWindowTextLengthW(handle_);
    std::wstring text(n + 1, L'\0');
    n = ::GetWindowTextW(handle_, text.data(), n + 1);
    text.resize(n);
    return text;
}

void TWinControl::SetCaption(const std::wstring& text) {
    if (handle_) ::SetWindowTextW(handle_, text.c_str());
}

bool TWinControl::Enabled() const { return handle_ && ::IsWindowEnabled(handle_); }

void TWinControl::SetEnabled(bool enabled) {
    if (handle_) ::EnableWindow(handle_, enabled);
}

RECT TWinControl::BoundsRect() const {
    RECT r{};
    if (!handle_) return r;
    ::GetWindowRect(handle_, &r);
    if (HWND parent = ::GetParent(handle_); parent && (::GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (handle_)
        ::SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace gui
