// TForm: a top-level window of the program. Its window class name is the
// form's class name, so other processes find it by class and title. A form is
// created in two steps by TApplication::CreateForm: the constructor sets up
// members (among them the frame, caption and place the window is made
// with), then Initialize() makes the window and raises FormCreate, so the
// form's global pointer is already set when FormCreate runs; the pointer is
// cleared again when the form is freed.
//
// The form owns its controls (found by name with FindComponent, however deep
// they sit in panels and tab sheets) and answers the dialog keys: Enter
// clicks the default button, Esc the cancel button, Tab moves the focus.
#pragma once

#include <functional>
#include <string>

#include "gui/Handles.h"
#include "gui/WinControl.h"

namespace gui {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

enum TModalResult : int {
    mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
    mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO
};

// The frame: no border (a pop-up), a fixed or sizeable window, a dialog box,
// a fixed or sizeable tool window. The dialog and the tool windows are
// pop-up windows, unless the system places them (poDefault).
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// Where the window opens: where it is made, centred on the screen's work
// area once made, or where the system places it (an overlapped window, as
// the system places only those).
enum class TPosition { poDesigned, poScreenCenter, poDefault };
// The border icons a frame keeps of those its style has: a style without
// an icon does not gain it from here.
struct TBorderIcons {
    bool SystemMenu = true;
    bool Minimize = true;
    bool Maximize = true;
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// The placement a form saves (as in its .ini): Normal is false while the
// window is maximised, and while it is minimised from the maximised state;
// the bounds are those of the normal state in screen coordinates, also
// while the window is maximised or minimised.
struct TFormPlacement {
    bool Normal = true;
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TForm : public TWinControl {
public:
    TForm(TComponent* owner, std::wstring className);
    ~TForm() override;

    // Makes the window with the frame, caption and place below, then raises
    // FormCreate, then places the form as Position says.
    void Initialize();
    const std::wstring& ClassName() const noexcept { return className_; }

    // Read when the window is made: its frame, caption and place. Every
    // form's window clips its children.
    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons BorderIcons;
    // A tool window (no taskbar button, a small caption), a taskbar button of
    // its own although the application's window is hidden, above the windows
    // that are not on top.
    bool ToolWindow = false;
    bool AppWindow = false;
    bool StayOnTop = false;
    // The window's caption (empty: the form's Name).
    std::wstring CreationCaption;
    TPosition Position = TPosition::poDesigned;
    // The place and size the window is made at (CW_USEDEFAULT: the system's).
    int CreationLeft = CW_USEDEFAULT, CreationTop = CW_USEDEFAULT;
    int CreationWidth = CW_USEDEFAULT, CreationHeight = CW_USEDEFAULT;
    // The client area the window is made with, its frame added to it, in
    // place of CreationWidth and CreationHeight (0 x 0: none).
    int CreationClientWidth = 0, CreationClientHeight = 0;
    // Centres the window on the screen's work area.
    void CenterOnScreen();

    TWindowState WindowState() const;
    // Maximises, minimises or restores the window when its state differs
    // (a hidden window is shown by the change).
    void SetWindowState(TWindowState state);
    // The bounds of the normal state, kept while the window is maximised or
    // minimised (screen coordinates; the window's bounds while it is normal).
    RECT RestoredBounds() const;
    TFormPlacement Placement() const;

    // Runs the close query and the close event; what follows depends on the
    // close action (hide, free, minimise) and on whether this is the main form.
    void Close();
    // Close query alone, as the application asks it of every form.
    bool CloseQuery();

    // Shows the form modally: the program's other windows are disabled until
    // ModalResult is set (or the program terminates). Returns the result.
    int ShowModal();
    int ModalResult = mrNone;
    // Enter, Esc and Tab work as in a dialog box (default and cancel
    // buttons, moving between controls).
    bool DialogKeys = false;
    bool InModal() const noexcept { return inModal_; }
    // Handles a dialog key for the form; true when it was used.
    bool DialogKey(MSG& msg);
    // The buttons Enter and Esc press (nullptr: none); TButton sets them.
    void SetDefaultButton(TWinControl* button);
    void SetCancelButton(TWinControl* button);
    TWinControl* DefaultButton() const noexcept { return defaultButton_; }
    TWinControl* CancelButton() const noexcept { return cancelButton_; }

    // Key events of the controls reach the form's OnKeyDown, OnKeyUp and
    // OnKeyPress first; a handler that sets the key to 0 swallows it.
    bool KeyPreview = false;

    // Smallest and largest window size (0: no limit), in pixels.
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;

    // Layered-window transparency (255: opaque).
    void SetAlphaBlend(bool on, BYTE value = 255);
    // The window's shape; the region passes to the system (nullptr: none).
    void SetRegion(HRGN region);

    // While moved, the window sticks to the edges of the work area when it
    // comes within SnapBuffer pixels.
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    // A left press on the form's body moves the window.
    bool MoveByBody = false;
    // Starts moving the window with the mouse (from a mouse-down handler).
    void BeginMoveByBody();

    // Frees the form after the current message has been handled.
    void Release();

    void SetVisible(bool visible) override;

    // Sets by TApplication::CreateForm: clears the form pointer it filled.
    void SetReferenceClear(std::function<void()> clear) { clearReference_ = std::move(clear); }

protected:
    // The window parameters the properties above give; a form states its
    // frame through them and does not change these.
    void CreateParams(TCreateParams& params) final;

    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormActivate() {}
    virtual void FormDeactivate() {}
    virtual void FormCloseQuery(bool& canClose) {}
    virtual void FormClose(TCloseAction& action) {}
    virtual void FormDestroy() {}

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void BeforeDestruction() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void SetExStyleFlag(DWORD flag, bool on);
    void Snap(WINDOWPOS& pos);

    std::wstring className_;
    bool inModal_ = false;
    bool destroying_ = false;
    TWinControl* defaultButton_ = nullptr;
    TWinControl* cancelButton_ = nullptr;
    std::function<void()> clearReference_;
};

// What a modal showing changes in the program while it runs: Before runs
// first (it may make the form's window), After once the showing has ended,
// also when Before or the showing ends by an exception; After may free the
// form.
struct TModalSteps {
    std::function<void()> Before;
    std::function<void()> After;
};

// Shows the form modally between the steps and returns its modal result.
// A form that is showing modally already is not shown again: neither step
// runs and the result is mrCancel.
int RunModal(TForm& form, const TModalSteps& steps);

}  // namespace gui
