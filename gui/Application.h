// TApplication: the program's application object. It owns a hidden top-level
// window of class "TApplication" titled with the application title, owns the
// long-lived forms (freed newest first), runs the message loop and is where
// every exception from a Win32 callback ends up (OnException).
#pragma once

#include <windows.h>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Form.h"

namespace gui {

class THintWindow;
struct TMessageListeners;

// Keeps a message listener of the application subscribed while it lives:
// the listener is removed when this is destroyed or reset, also when that
// happens while messages are being handed round; one that outlives the
// application does nothing.
class TMessageListener {
public:
    TMessageListener() = default;
    TMessageListener(TMessageListener&& other) noexcept;
    TMessageListener& operator=(TMessageListener&& other) noexcept;
    TMessageListener(const TMessageListener&) = delete;
    TMessageListener& operator=(const TMessageListener&) = delete;
    ~TMessageListener() { Reset(); }
    void Reset() noexcept;

private:
    friend class TApplication;
    TMessageListener(std::weak_ptr<TMessageListeners> listeners, int id) : listeners_(std::move(listeners)), id_(id) {}
    std::weak_ptr<TMessageListeners> listeners_;
    int id_ = 0;
};

// Posted to the application window by TForm::Release with the form as
// lParam; the form is freed when it arrives.
constexpr UINT kReleaseMessage = WM_APP + 0x3F0;

// What the show-hint event may change before a hint is shown.
struct THintInfo {
    TControl* HintControl = nullptr;
    POINT HintPos{};        // screen position of the hint window's top left
    int HintMaxWidth = 300;
    RECT CursorRect{};      // the hint stays while the cursor is inside (client coordinates)
    int ReshowTimeout = 0;  // ms; > 0: the hint is asked for again after that time
    int HideTimeout = 0;    // ms; 0: the application's HintHidePause
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Makes the application window; the program entry calls it once.
    void Initialize();
    HWND Handle() const noexcept { return handle_; }

    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(const std::wstring& title);
    std::wstring HelpFile;
    bool ShowMainForm = true;
    // The program's icon (its "MAINICON" resource; null without one): the
    // icon of every window class and of the about box. Shared, never freed.
    static HICON Icon();

    // Constructs a form owned by the application, stores it in `ref` and only
    // then makes its window and raises its create event. The first form
    // created is the main form.
    template <class T>
    T* CreateForm(T*& ref) {
        T* form = new T(this);
        ref = form;
        form->SetReferenceClear([&ref, form] {
            if (ref == form) ref = nullptr;
        });
        if (!mainForm_) mainForm_ = form;
        form->Initialize();
        return form;
    }
    TForm* MainForm() const noexcept { return mainForm_; }

    // The message loop; returns when Terminate was called or the main form closed.
    void Run();
    // Ends the message loop without asking any form to close.
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    // Handles the messages that are waiting, then returns.
    void ProcessMessages();
    // Waits for and handles one message; false once WM_QUIT arrived.
    bool HandleMessage();

    // A message box owned by the application window.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

    // Every exception that reaches a callback boundary. Without a handler the
    // message is shown in a message box.
    std::function<void(const std::exception_ptr&)> OnException;
    void HandleException(const std::exception_ptr& e) noexcept;

    // The application lost the activation (WM_ACTIVATEAPP false).
    std::function<void()> OnDeactivate;
    // The listener sees every message before it is dispatched, also inside
    // modal loops and menus, while the returned subscription lives; it
    // returns true to swallow the message. The newest listener sees it first.
    [[nodiscard]] TMessageListener ListenToMessages(std::function<bool(MSG&)> listener);

    // Frees every owned form, newest first.
    void DestroyForms() noexcept;

    // Hints: a control with ShowHint and a Hint shows it after the mouse
    // rested HintPause ms on it, for HintHidePause ms. OnShowHint may change
    // the text, refuse the hint or ask for it again after ReshowTimeout.
    bool ShowHint = true;
    UINT HintPause = 500;
    UINT HintHidePause = 2500;
    std::function<void(std::wstring& hintStr, bool& canShow, THintInfo& info)> OnShowHint;
    // The window the hints are shown in (made on first use).
    THintWindow* HintWindow();
    // The control whose hint is showing, or nullptr.
    TControl* HintControl() const noexcept { return hintShown_ ? hintControl_ : nullptr; }
    void HintMouseMove(TControl* control);
    void HintMouseLeave(TControl* control);
    void CancelHint();

    // The hint of the control under the mouse ("" over one without, and once
    // the mouse has left the program's windows). OnHint runs after every
    // change; then each status bar with AutoHint on the form the mouse is
    // over shows it.
    const std::wstring& Hint() const noexcept { return hint_; }
    void SetHint(const std::wstring& hint);
    std::function<void()> OnHint;
    // The mouse moved over a control whose hint at that point is `hint`, or
    // left it.
    void MouseHint(TControl* control, const std::wstring& hint);
    void MouseHintLeave(TControl* control);

private:
    static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void Dispatch(MSG& msg);

    HWND handle_ = nullptr;
    std::wstring title_;
    std::shared_ptr<TMessageListeners> listeners_;
    void ShowHintNow();
    void Notification(TComponent* component, TOperation operation) override;

    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    THintWindow* hintWindow_ = nullptr;
    TControl* hintControl_ = nullptr;
    bool hintShown_ = false;
    std::wstring hint_;
    HWND hintSource_ = nullptr;  // the window whose hint hint_ is
    HWND hintForm_ = nullptr;    // the form that window is on
};

// The one application object of the process (null before it exists).
extern TApplication* Application;

// The main form's window; 0 without an application or a main form.
HWND MainFormWindow();

}  // namespace gui
