// TIMEIconForm: the IME-on indicator, a 33 x 33 elliptic window that stays
// on top of the window whose input method turned on. It is hidden at
// creation; the main form shows it at a corner of that window. Moving the
// mouse over it closes it. While it shows, its own input method is open.
// The picture is black, or white when the main form's colour item is checked.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TIMEIconForm : public gui::TForm {
public:
    explicit TIMEIconForm(gui::TComponent* owner);

    static constexpr int Size = 33;
    // Whether the white picture was the one chosen at the last show.
    bool ShowsWhite() const noexcept { return white_; }

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormHide() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void SetOwnIMEOpen(bool open);
    void Paint(HDC dc);

    bool white_ = false;
};

extern TIMEIconForm* IMEIconForm;
