#include "gui/WinControl.h"

#include <windowsx.h>
#include <algorithm>
#include <map>

#include "gui/Application.h"
#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/WindowClass.h"

namespace gui {

namespace {

const wchar_t kObjectProp[] = L"OrvandelGuiObject";

// The base procedure of each class we registered, by our class name. Only
// the GUI thread registers classes.
std::map<std::wstring, WNDPROC>& BaseProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}

// The control being dragged and the control under the cursor that accepted it.
TControl* dragSource = nullptr;
TControl* dragTarget = nullptr;

const TFont& DefaultFont() {
    static const TFont font = [] {
        TFont f;
        NONCLIENTMETRICSW ncm{sizeof(ncm)};
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            f.SetName(ncm.lfMenuFont.lfFaceName);
        f.SetSize(9);
        return f;
    }();
    return font;
}

// The control of ours at a screen point (a child window of a system class,
// such as a combo box's edit, counts as its nearest control of ours).
TWinControl* ControlAtPoint(POINT pt) {
    for (HWND w = ::WindowFromPoint(pt); w; w = ::GetParent(w))
        if (TWinControl* c = TWinControl::FromHandle(w)) return c;
    return nullptr;
}

}  // namespace

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner), font_(DefaultFont()) {}

TControl::~TControl() {
    if (dragSource == this) dragSource = nullptr;
    if (dragTarget == this) dragTarget = nullptr;
    if (parent_) {
        auto& list = parent_->controls_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        parent_ = nullptr;
    }
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetWidth(int width) {
    RECT r = BoundsRect();
    SetBounds(r.left, r.top, width, r.bottom - r.top);
}

void TControl::SetHeight(int height) {
    RECT r = BoundsRect();
    SetBounds(r.left, r.top, r.right - r.left, height);
}

TControl* TControl::DragSource() noexcept { return dragSource; }

void TControl::BeginDrag() {
    auto* self = dynamic_cast<TWinControl*>(this);
    if (!self || !self->HandleAllocated()) return;
    dragSource = this;
    dragTarget = nullptr;
    ::SetCapture(self->Handle());
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    font_.OnChange = [this](TFont*) { FontChanged(); };
}

TWinControl::~TWinControl() {
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    DestroyHandle();
}

void TWinControl::BeforeDestruction() {
    if (dragSource == this) {
        dragSource = nullptr;
        if (::GetCapture() == handle_) ::ReleaseCapture();
    }
    DestroyHandle();
}

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
        EnsureCommonControls();
        if (!::GetClassInfoExW(nullptr, params.BaseClass.c_str(), &wc))
            throw Exception(L"ウィンドウクラスが見つかりません: " + params.BaseClass);
        base = wc.lpfnWndProc;
        wc.cbSize = sizeof(wc);
        wc.style &= ~CS_GLOBALCLASS;
    } else {
        wc.style = params.ClassStyle;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = params.Background;
        wc.hIcon = TApplication::Icon();
        wc.hIconSm = wc.hIcon;
    }
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = params.ClassName.c_str();
    RegisterWindowClass(wc);
    procs[params.ClassName] = base;
    return base;
}

void TWinControl::AttachTo(TWinControl* parent) {
    parent_ = parent;
    if (!parent) return;
    id_ = parent->nextChildId_++;
    if (parent->nextChildId_ >= 0xF000) parent->nextChildId_ = 100;
    parent->controls_.push_back(this);
}

void TWinControl::Detach() noexcept {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    parent_ = nullptr;
}

void TWinControl::Create(const TControlArgs& args) {
    if (handle_) throw Exception(L"コントロールは作成済みです: " + Name);
    args_ = args;
    if (!args.Name.empty()) Name = args.Name;
    if (!args.Hint.empty()) {
        Hint = args.Hint;
        ShowHint = true;
    }
    Tag = args.Tag;
    align_ = args.Align;
    Detach();
    AttachTo(args.Parent ? args.Parent : dynamic_cast<TWinControl*>(Owner()));
    TCreateParams params;
    CreateParams(params);
    CreateHandle(params);
    FontChanged();
    CreateWnd();
    if (align_ != TAlign::alNone && parent_) parent_->Realign();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = args_.Caption;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | (args_.Visible ? WS_VISIBLE : 0) |
                   (args_.Enabled ? 0 : WS_DISABLED) | args_.Style;
    params.ExStyle = args_.ExStyle;
    params.X = args_.Bounds.left;
    params.Y = args_.Bounds.top;
    params.Width = args_.Bounds.right - args_.Bounds.left;
    params.Height = args_.Bounds.bottom - args_.Bounds.top;
    params.WndParent = parent_ ? parent_->Handle() : nullptr;
    params.Id = id_;
}

void TWinControl::CreateHandle(const TCreateParams& params) {
    if (handle_) return;
    if (params.ClassName.empty()) throw Exception(L"ウィンドウクラス名がありません: " + Name);
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

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    TWinControl* old = parent_;
    Detach();
    AttachTo(parent);
    if (handle_) {
        ::SetParent(handle_, parent ? parent->Handle() : nullptr);
        ::SetWindowLongPtrW(handle_, GWLP_ID, id_);
    }
    if (old) old->Realign();
    if (parent) parent->Realign();
}

TWinControl* TWinControl::ChildById(UINT id) const {
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->id_ == id) return w;
    return nullptr;
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
    return GuardCallback(LRESULT{0}, [&]() -> LRESULT {
        auto alive = self->AliveToken();
        LRESULT result = 0;
        if (*alive && self->InputMessage(msg, wp, lp, result)) return result;
        result = self->WndProc(msg, wp, lp);
        if (msg == WM_SIZE && *alive) {
            self->Realign();
            self->RunHandler(self->OnResize, self);
        }
        return result;
    });
}

bool TWinControl::InputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    auto alive = AliveToken();
    result = 0;
    auto buttonOf = [](UINT m) {
        switch (m) {
            case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::mbRight;
            case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::mbMiddle;
            default: return TMouseButton::mbLeft;
        }
    };
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: {
            if (Application) Application->CancelHint();
            bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
            TShiftState shift = MouseShiftState(wp);
            if (dbl) shift |= ssDouble;
            if (msg == WM_LBUTTONDOWN && DragMode == TDragMode::dmAutomatic) {
                dragArmed_ = true;
                dragStart_ = POINT{x, y};
            }
            if (dbl && msg == WM_LBUTTONDBLCLK && !RunHandler(OnDblClick, this)) return true;
            if (!RunHandler(OnMouseDown, this, buttonOf(msg), shift, x, y)) return true;
            return false;
        }
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
            dragArmed_ = false;
            if (dragSource == this && msg == WM_LBUTTONUP) {
                POINT pt{x, y};
                ::ClientToScreen(handle_, &pt);
                DragOverAt(pt);
                if (!*alive) return true;
                TControl* target = dragTarget;
                dragSource = dragTarget = nullptr;
                ::ReleaseCapture();
                if (auto* t = dynamic_cast<TWinControl*>(target); t && t->HandleAllocated()) {
                    POINT local = pt;
                    ::ScreenToClient(t->Handle(), &local);
                    t->RunHandler(t->OnDragDrop, t, this, local.x, local.y);
                    if (!*alive) return true;
                }
                if (!RunHandler(OnEndDrag, this)) return true;
                return false;  // the control's own procedure sees the release too
            }
            if (!RunHandler(OnMouseUp, this, buttonOf(msg), MouseShiftState(wp), x, y)) return true;
            return false;
        }
        case WM_MOUSEMOVE: {
            if (dragSource == this) {
                POINT pt{x, y};
                ::ClientToScreen(handle_, &pt);
                DragOverAt(pt);
                return true;
            }
            if (dragArmed_ && (wp & MK_LBUTTON) &&
                (std::abs(x - dragStart_.x) >= ::GetSystemMetrics(SM_CXDRAG) ||
                 std::abs(y - dragStart_.y) >= ::GetSystemMetrics(SM_CYDRAG))) {
                dragArmed_ = false;
                BeginDrag();
                POINT pt{x, y};
                ::ClientToScreen(handle_, &pt);
                if (dragSource == this) DragOverAt(pt);
                return true;
            }
            const std::wstring longHint = LongHintAt(POINT{x, y});
            // Asked again on every move: the system keeps one tracked window
            // per thread, and a window tracked after another may lose it.
            if ((ShowHint && !Hint.empty()) || !longHint.empty()) {
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
                trackingLeave_ = ::TrackMouseEvent(&tme) != FALSE;
            }
            if (Application) Application->MouseHint(this, longHint);
            if (!*alive) return true;
            if (Application) Application->HintMouseMove(this);
            if (!RunHandler(OnMouseMove, this, MouseShiftState(wp), x, y)) return true;
            return false;
        }
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            if (Application) Application->MouseHintLeave(this);
            if (!*alive) return true;
            if (Application) Application->HintMouseLeave(this);
            return false;
        case WM_CAPTURECHANGED:
            if (dragSource == this && reinterpret_cast<HWND>(lp) != handle_) {
                dragSource = dragTarget = nullptr;
                RunHandler(OnEndDrag, this);
            }
            return false;
        case WM_MOUSEWHEEL: {
            bool handled = false;
            POINT pt{x, y};
            short delta = GET_WHEEL_DELTA_WPARAM(wp);
            if (!RunHandler(OnMouseWheel, this, MouseShiftState(GET_KEYSTATE_WPARAM(wp)), int{delta}, pt,
                            handled))
                return true;
            return handled;
        }
        case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
            if (dragSource == this && wp == VK_ESCAPE) {
                dragSource = dragTarget = nullptr;
                ::ReleaseCapture();
                return true;
            }
            bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
            WORD key = static_cast<WORD>(wp);
            TShiftState shift = KeyShiftState();
            TForm* form = ParentForm();
            if (form && form != this && form->KeyPreview) {
                if (!form->RunHandler(down ? form->OnKeyDown : form->OnKeyUp, form, key, shift) || !*alive)
                    return true;
                if (key == 0) return true;
            }
            if (!RunHandler(down ? OnKeyDown : OnKeyUp, this, key, shift)) return true;
            return key == 0;
        }
        case WM_CHAR: {
            wchar_t ch = static_cast<wchar_t>(wp);
            TForm* form = ParentForm();
            if (form && form != this && form->KeyPreview) {
                if (!form->RunHandler(form->OnKeyPress, form, ch) || !*alive) return true;
                if (ch == 0) return true;
            }
            if (!RunHandler(OnKeyPress, this, ch)) return true;
            if (ch == 0) return true;
            if (ch != static_cast<wchar_t>(wp)) {
                result = WndProc(msg, ch, lp);
                return true;
            }
            return false;
        }
        case WM_CONTEXTMENU:
            if (PopupMenu && PopupMenu->AutoPopup && reinterpret_cast<HWND>(wp) == handle_) {
                POINT pt{x, y};
                if (lp == -1) {
                    pt = POINT{0, 0};
                    ::ClientToScreen(handle_, &pt);
                }
                PopupMenu->SetPopupComponent(this);
                PopupMenu->Popup(pt.x, pt.y);
                return true;
            }
            return false;
        case WM_SETCURSOR:
            // The screen's cursor, while one is set, over every client area.
            if (Screen.Cursor() != TCursor::crDefault && LOWORD(lp) == HTCLIENT) {
                ::SetCursor(TScreen::CursorHandle(Screen.Cursor()));
                result = TRUE;
                return true;
            }
            return false;
        default:
            return false;
    }
}

void TWinControl::DragOverAt(POINT screen) {
    auto alive = AliveToken();
    TWinControl* target = ControlAtPoint(screen);
    bool accept = false;
    if (target && target->OnDragOver) {
        POINT local = screen;
        ::ScreenToClient(target->Handle(), &local);
        accept = true;
        if (!target->RunHandler(target->OnDragOver, target, this, local.x, local.y, accept)) accept = false;
        if (!*alive) return;
    }
    dragTarget = accept ? target : nullptr;
    ::SetCursor(::LoadCursorW(nullptr, accept ? IDC_ARROW : IDC_NO));
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) { return DefaultHandler(msg, wp, lp); }

bool TWinControl::RouteToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    TWinControl* child = nullptr;
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
            child = FromHandle(reinterpret_cast<HWND>(lp));
            break;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            child = FromHandle(hdr->hwndFrom);
            if (!child) child = ChildById(static_cast<UINT>(hdr->idFrom));
            break;
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (dis->CtlType != ODT_MENU) child = FromHandle(dis->hwndItem);
            break;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (mis->CtlType != ODT_MENU) child = ChildById(mis->CtlID);
            break;
        }
        case WM_CONTEXTMENU:
            child = FromHandle(reinterpret_cast<HWND>(wp));
            break;
        default:
            return false;
    }
    if (!child || child == this) return false;
    TParentMessage m{msg, wp, lp};
    child->ParentMessage(m);
    if (!m.Handled) return false;
    result = m.Result;
    return true;
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    HWND wnd = handle_;
    WNDPROC base = baseProc_;
    if (RouteToChild(msg, wp, lp, result)) return result;
    return ::CallWindowProcW(base, wnd, msg, wp, lp);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
    return handle_ ? ::SendMessageW(handle_, msg, wp, lp) : 0;
}

void TWinControl::FontChanged() {
    if (handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

bool TWinControl::Visible() const {
    // The window's own flag: a control on a hidden sheet is still visible.
    return handle_ && (::GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE);
}

void TWinControl::SetVisible(bool visible) {
    if (!handle_) return;
    ::ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
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

void TWinControl::SetFocus() {
    if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && ::GetFocus() == handle_; }

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
        ::SetWindowPos(handle_, nullptr, left, top, std::max(width, 0), std::max(height, 0),
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TWinControl::ClientRect() const {
    RECT r{};
    if (handle_) ::GetClientRect(handle_, &r);
    return r;
}

void TWinControl::SetClientSize(int width, int height) {
    if (!handle_) return;
    RECT r{0, 0, width, height};
    ::AdjustWindowRectEx(&r, ::GetWindowLongW(handle_, GWL_STYLE), FALSE,
                         ::GetWindowLongW(handle_, GWL_EXSTYLE));
    ::SetWindowPos(handle_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::Realign() {
    if (!handle_ || aligning_) return;
    aligning_ = true;
    RECT r = AlignRect();
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                            TAlign::alClient};
    std::vector<TControl*> children = controls_;
    for (TAlign pass : order) {
        for (TControl* c : children) {
            if (c->Align() != pass || !c->Visible()) continue;
            int w = std::max<int>(r.right - r.left, 0), h = std::max<int>(r.bottom - r.top, 0);
            switch (pass) {
                case TAlign::alTop:
                    c->SetBounds(r.left, r.top, w, c->Height());
                    r.top = std::min(r.top + c->Height(), r.bottom);
                    break;
                case TAlign::alBottom: {
                    int ch = c->Height();
                    c->SetBounds(r.left, r.bottom - ch, w, ch);
                    r.bottom = std::max(r.bottom - c->Height(), r.top);
                    break;
                }
                case TAlign::alLeft:
                    c->SetBounds(r.left, r.top, c->Width(), h);
                    r.left = std::min(r.left + c->Width(), r.right);
                    break;
                case TAlign::alRight: {
                    int cw = c->Width();
                    c->SetBounds(r.right - cw, r.top, cw, h);
                    r.right = std::max(r.right - c->Width(), r.left);
                    break;
                }
                case TAlign::alClient:
                    c->SetBounds(r.left, r.top, w, h);
                    break;
                default:
                    break;
            }
        }
    }
    aligning_ = false;
}

}  // namespace gui
