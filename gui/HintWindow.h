// THintWindow: a small pop-up that shows a text at a given screen rectangle,
// in the system's tool-tip colours, without taking the activation. The
// application shows one for the hints of the controls; a program may make
// its own to show a text wherever it wants.
#pragma once

#include <string>

#include "gui/WinControl.h"

namespace gui {

class THintWindow : public TWinControl {
public:
    explicit THintWindow(TComponent* owner);

    // The rectangle (at 0,0) the text needs, wrapped at maxWidth pixels.
    RECT CalcHintRect(int maxWidth, const std::wstring& text);
    // Shows the text in the screen rectangle, above the other windows.
    void ActivateHint(const RECT& screenRect, const std::wstring& text);
    // Hides the window.
    void ReleaseHint();
    const std::wstring& Text() const noexcept { return text_; }

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::wstring text_;
};

}  // namespace gui
