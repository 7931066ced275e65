// TControl and TWinControl: the visual components.
//
// Owner and parent are separate. The owner (a form, as a rule) frees the
// control and finds it by name; the parent is the windowed control that holds
// it on screen (the form itself, a panel, a group box, a tab sheet).
//
// A control is made in two steps: construct it with its owner, then Create it
// with a TControlArgs; Create asks the virtual CreateParams for the window's
// class and styles, so a derived control is fully constructed before its
// window sends the first message. NewControl<T>(owner, args) does both; a
// control whose window is made with settings of its own takes them in its
// constructor, as NewControl<T>(owner, args, kind) passes them.
//
// Every window class of the program (forms, and controls registered under
// the class library's names such as "TListBox") has one window procedure that
// binds the window to its object at WM_NCCREATE and forwards each message to
// the virtual WndProc. Default handling goes to the class the window was
// derived from. Messages a parent receives about one of its children
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_HSCROLL, WM_VSCROLL,
// WM_CTLCOLOR*, WM_CONTEXTMENU) are handed to that child's ParentMessage.
// Children with an Align other than alNone are laid out on every resize.
#pragma once

#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Graphics.h"
#include "gui/Input.h"

namespace gui {

class TControl;
class TWinControl;
class TForm;
class TPopupMenu;

struct TCreateParams {
    std::wstring ClassName;  // our registered class name
    std::wstring BaseClass;  // system class to derive from ("LISTBOX"); empty: plain window
    std::wstring Caption;
    DWORD Style = WS_OVERLAPPEDWINDOW;
    DWORD ExStyle = 0;
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // plain windows only
    int X = CW_USEDEFAULT, Y = CW_USEDEFAULT, Width = CW_USEDEFAULT, Height = CW_USEDEFAULT;
    HWND WndParent = nullptr;
    UINT_PTR Id = 0;  // control id (child windows)
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Creation options of a control. Bounds are in the parent's client
// coordinates; an aligned control keeps only the size across its alignment.
struct TControlArgs {
    TWinControl* Parent = nullptr;  // nullptr: the owner, when it is a windowed control
    std::wstring Name;
    std::wstring Caption;
    RECT Bounds{0, 0, 0, 0};
    TAlign Align = TAlign::alNone;
    bool Visible = true;
    bool Enabled = true;
    int Tag = 0;
    std::wstring Hint;
    DWORD Style = 0;    // added to the styles the control asks for
    DWORD ExStyle = 0;
};

inline RECT Bounds(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

// A message the parent received about one child. The child sets Handled
// (and Result) when it dealt with it; otherwise the parent's default runs.
struct TParentMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result = 0;
    bool Handled = false;
};

using TMouseEvent = std::function<void(TControl* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent = std::function<void(TControl* sender, TShiftState shift, int delta, POINT screenPos, bool& handled)>;
using TKeyEvent = std::function<void(TControl* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TControl* sender, wchar_t& key)>;
using TControlEvent = std::function<void(TControl* sender)>;
using TDragOverEvent = std::function<void(TControl* sender, TControl* source, int x, int y, bool& accept)>;
using TDragDropEvent = std::function<void(TControl* sender, TControl* source, int x, int y)>;

enum class TDragMode { dmManual, dmAutomatic };

// The visual component: parent, alignment, hint, font and the input events.
// It has no window of its own; TWinControl adds one.
class TControl : public TComponent {
public:
    TWinControl* Parent() const noexcept { return parent_; }
    // The form the control sits on (itself for a form), or nullptr.
    TForm* ParentForm() const;

    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign align);

    virtual RECT BoundsRect() const = 0;
    virtual void SetBounds(int left, int top, int width, int height) = 0;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const { RECT r = BoundsRect(); return r.right - r.left; }
    int Height() const { RECT r = BoundsRect(); return r.bottom - r.top; }
    void SetWidth(int width);
    void SetHeight(int height);
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // Shown in the hint window when the mouse rests on the control.
    std::wstring Hint;
    bool ShowHint = false;

    // The control's own font; it outlives the window that uses it.
    TFont& Font() noexcept { return font_; }

    // The menu a right click (or the menu key) pops up, when AutoPopup is on.
    TComponentRef<TPopupMenu> PopupMenu;

    // Dragging between the program's own controls: with dmAutomatic a move
    // with the left button held starts it; the control under the cursor is
    // asked through OnDragOver and gets OnDragDrop.
    TDragMode DragMode = TDragMode::dmManual;
    void BeginDrag();
    static TControl* DragSource() noexcept;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TControlEvent OnDblClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TControlEvent OnEndDrag;

protected:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    TControl* DefaultParentControl() const;

    TWinControl* parent_ = nullptr;
    TAlign align_ = TAlign::alNone;
    TFont font_;

    friend class TWinControl;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const noexcept { return handle_; }
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    static TWinControl* FromHandle(HWND wnd) noexcept;

    // Makes the child window (CreateParams) under args.Parent; throws
    // gui::Exception when it cannot be made. Once only.
    void Create(const TControlArgs& args);
    // Moves the window under another parent (nullptr: none).
    void SetParent(TWinControl* parent);

    // The window's own visible flag (its parents may still hide it).
    bool Visible() const override;
    void SetVisible(bool visible) override;

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);

    bool Enabled() const;
    void SetEnabled(bool enabled);

    RECT BoundsRect() const override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const;
    int ClientWidth() const { return ClientRect().right; }
    int ClientHeight() const { return ClientRect().bottom; }
    virtual void SetClientSize(int width, int height);

    void SetFocus();
    bool Focused() const;
    // The id the parent knows the window by (unique among its siblings).
    UINT ControlId() const noexcept { return id_; }

    // The controls this one is the parent of, in creation order.
    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(index); }
    TWinControl* ChildById(UINT id) const;
    // Lays out the aligned children within the client area.
    void Realign();

    // Sends a message to the window (0 when it has none).
    LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);

    // Re-applies the font after it was changed.
    void FontChanged();

    // After every resize, once the aligned children have been laid out.
    TControlEvent OnResize;

protected:
    // Window parameters; derived controls call the base, then set the class,
    // base class and styles.
    virtual void CreateParams(TCreateParams& params);
    // After the window exists (items, images, control settings).
    virtual void CreateWnd() {}
    void CreateHandle(const TCreateParams& params);
    void DestroyHandle() noexcept;
    void BeforeDestruction() override;

    // Every message of the window; the default passes it to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

    // After WM_NCDESTROY: the window is gone.
    virtual void HandleDestroyed() {}

    // A message the parent received about this control.
    virtual void ParentMessage(TParentMessage& message) {}
    // The client rectangle the aligned children share.
    virtual RECT AlignRect() const { return ClientRect(); }
    // The hint the application shows for the point (a tool bar: the
    // button's); the control's own Hint by default.
    virtual std::wstring LongHintAt(POINT client) const { return Hint; }

    // The args given to Create, for CreateParams.
    const TControlArgs& CreateArgs() const noexcept { return args_; }

private:
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static WNDPROC RegisterClassFor(const TCreateParams& params);
    // Input events, key preview, hints and dragging; true when the message
    // is used up (result set).
    bool InputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool RouteToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Asks the control under the screen point whether it takes the drag.
    void DragOverAt(POINT screen);
    void AttachTo(TWinControl* parent);
    void Detach() noexcept;

    HWND handle_ = nullptr;
    WNDPROC baseProc_ = ::DefWindowProcW;
    UINT id_ = 0;
    UINT nextChildId_ = 100;
    TControlArgs args_;
    std::vector<TControl*> controls_;
    bool aligning_ = false;
    bool trackingLeave_ = false;
    POINT dragStart_{};
    bool dragArmed_ = false;

    friend class TControl;
};

namespace detail {
// Creates the window of a control just constructed; frees it when that fails.
template <class T>
T* Created(T* control, const TControlArgs& args) {
    try {
        control->Create(args);
    } catch (...) {
        TComponent::Free(control);
        throw;
    }
    return control;
}
}  // namespace detail

// Constructs a control of type T owned by `owner` and creates its window.
// A kind of control whose window is made with settings of its own (a label's
// alignment, a list box's style) names them T::TKindArgs and takes them as
// `kind`; without them it has that struct's defaults.
template <class T>
T* NewControl(TComponent* owner, const TControlArgs& args) {
    return detail::Created(new T(owner), args);
}

template <class T>
T* NewControl(TComponent* owner, const TControlArgs& args, const typename T::TKindArgs& kind) {
    return detail::Created(new T(owner, kind), args);
}

}  // namespace gui
