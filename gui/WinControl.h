// TWinControl: a component that owns one window. Every window class of the
// program (forms, and controls registered under the class library's names such
// as "TListBox") is registered with one window procedure that binds the window
// to its object at WM_NCCREATE and forwards each message to the virtual
// WndProc. Default handling goes to the class the window was derived from
// (DefWindowProc for forms, the system control's own procedure for controls).
#pragma once

#include <windows.h>
#include <string>

#include "gui/Component.h"

namespace gui {

struct TCreateParams {
    std::wstring ClassName;  // our registered class name
    std::wstring BaseClass;  // system class to derive from ("LISTBOX"); empty: plain window
    std::wstring Caption;
    DWORD Style = WS_OVERLAPPEDWINDOW;
    DWORD ExStyle = 0;
    UINT ClassStyle = CS_DBLCLKS;
    int X = CW_USEDEFAULT, Y = CW_USEDEFAULT, Width = CW_USEDEFAULT, Height = CW_USEDEFAULT;
    HWND WndParent = nullptr;
    UINT_PTR Id = 0;  // control id (child windows)
};

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const noexcept { return handle_; }
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    static TWinControl* FromHandle(HWND wnd) noexcept;

    bool Visible() const;
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);

    bool Enabled() const;
    void SetEnabled(bool enabled);

    RECT BoundsRect() const;
    void SetBounds(int left, int top, int width, int height);

    // Sends a message to the window (0 when it has none).
    LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);

protected:
    // Creates the window from the parameters; throws gui::Exception on failure.
    void CreateHandle(const TCreateParams& params);
    void DestroyHandle() noexcept;

    // Every message of the window; the default passes it to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

    // After WM_NCDESTROY: the window is gone.
    virtual void HandleDestroyed() {}

    // A notification the parent received from this control (WM_COMMAND);
    // true when the control handled it.
    virtual bool HandleNotify(WORD code) { return false; }
    // The parent is asked for this control's colours; true with the brush set
    // (and the DC's colours) when the control has its own.
    virtual bool HandleColor(HDC dc, HBRUSH& brush) { return false; }

private:
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static WNDPROC RegisterClassFor(const TCreateParams& params);

    HWND handle_ = nullptr;
    WNDPROC baseProc_ = ::DefWindowProcW;
};

}  // namespace gui
