// TForm: a top-level window of the program. Its window class name is the
// form's class name, so other processes find it by class and title. A form is
// created in two steps by TApplication::CreateForm: the constructor sets up
// members, then Initialize() makes the window and raises FormCreate, so the
// form's global pointer is already set when FormCreate runs.
#pragma once

#include <string>

#include "gui/WinControl.h"

namespace gui {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

enum TModalResult : int {
    mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
    mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO
};

class TForm : public TWinControl {
public:
    TForm(TComponent* owner, std::wstring className);

    // Makes the window (CreateParams), then raises FormCreate.
    void Initialize();
    const std::wstring& ClassName() const noexcept { return className_; }

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

    // Frees the form after the current message has been handled.
    void Release();

    void SetVisible(bool visible) override;

protected:
    // Window parameters; forms change the style, caption and size here.
    virtual void CreateParams(TCreateParams& params);

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

private:
    std::wstring className_;
    bool inModal_ = false;
    bool destroying_ = false;
};

}  // namespace gui
