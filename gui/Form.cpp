#include "gui/Form.h"

#include <vector>

#include "gui/Application.h"
#include "gui/Callback.h"

namespace gui {

namespace {

const UINT kReleaseMessage = WM_APP + 0x3F0;  // posted to the application window by Release

struct ModalScan {
    HWND self;
    std::vector<HWND> disabled;
};

BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM lp) {
    return GuardCallback(FALSE, [&] {
        auto* s = reinterpret_cast<ModalScan*>(lp);
        if (w != s->self && ::IsWindowVisible(w) && ::IsWindowEnabled(w)) s->disabled.push_back(w);
        return TRUE;
    });
}

}  // namespace

TForm::TForm(TComponent* owner, std::wstring className)
    : TWinControl(owner), className_(std::move(className)) {}

void TForm::CreateParams(TCreateParams& params) {
    params.ClassName = className_;
    params.Caption = Name;
    params.Style = WS_OVERLAPPEDWINDOW;
    params.WndParent = Application ? Application->Handle() : nullptr;
}

void TForm::Initialize() {
    TCreateParams params;
    CreateParams(params);
    CreateHandle(params);
    FormCreate();
}

void TForm::SetVisible(bool visible) {
    if (!HandleAllocated()) return;
    if (visible == Visible()) return;
    ::ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
}

void TForm::Close() {
    if (inModal_) {
        // A modal form closes by ending its loop; the close events still run.
        if (!CloseQuery()) return;
        TCloseAction action = TCloseAction::caHide;
        FormClose(action);
        if (action != TCloseAction::caNone && ModalResult == mrNone) ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
    FormClose(action);
    if (action == TCloseAction::caNone) return;
    if (isMain) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: ::ShowWindow(Handle(), SW_MINIMIZE); break;
        case TCloseAction::caFree: Release(); break;
        default: break;
    }
}

void TForm::Release() {
    if (Application) ::PostMessageW(Application->Handle(), kReleaseMessage, 0,
                                    reinterpret_cast<LPARAM>(this));
}

int TForm::ShowModal() {
    if (!HandleAllocated() || inModal_) return mrCancel;
    // Disable the other enabled top-level windows of this thread.
    ModalScan scan{Handle(), {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&scan));
    std::vector<HWND>& disabled = scan.disabled;
    for (HWND w : disabled) ::EnableWindow(w, FALSE);

    ModalResult = mrNone;
    inModal_ = true;
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    while (ModalResult == mrNone && Application && !Application->Terminated()) {
        if (!Application->HandleMessage()) break;
    }
    inModal_ = false;
    for (HWND w : disabled)
        if (::IsWindow(w)) ::EnableWindow(w, TRUE);
    if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
    return ModalResult == mrNone ? mrCancel : ModalResult;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_SHOWWINDOW:
            if (wp) FormShow(); else FormHide();
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) FormDeactivate(); else FormActivate();
            break;
        case WM_HELP:
            return TRUE;  // no form opens the help file on F1
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

void TForm::BeforeDestruction() {
    if (destroying_) return;
    destroying_ = true;
    FormDestroy();
    DestroyComponents();  // owned components go while the form still exists
    DestroyHandle();
}

}  // namespace gui
