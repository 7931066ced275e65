// THintWindow: a small borderless tip window that shows one text at a given
// screen rectangle, on top of everything, without taking the activation.
// Its window is made when a hint is first shown and released again when the
// hint is hidden.
#pragma once

#include <windows.h>
#include <string>

#include "gui/Graphics.h"
#include "gui/WinControl.h"

namespace gui {

class THintWindow : public TWinControl {
public:
    explicit THintWindow(TComponent* owner);

    TFont& Font() noexcept { return font_; }
    // The rectangle the text needs from (0, 0) (DT_CALCRECT), up to maxWidth wide.
    RECT CalcHintRect(int maxWidth, const std::wstring& text);
    // Shows the text at the screen rectangle, making the window when needed.
    void ActivateHint(const RECT& screenRect, const std::wstring& text);
    // Hides the hint and releases the window.
    void ReleaseHandle() noexcept { DestroyHandle(); }
    const std::wstring& Text() const noexcept { return text_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    TFont font_;
    std::wstring text_;
};

}  // namespace gui
