// THotKeyEdit: a read-only edit in which the user presses a hot key. It
// takes every key while it has the focus (Tab, Enter, Esc and Alt
// combinations too, so they neither move the focus nor reach a menu) and
// types nothing itself; its owner turns each OnKeyDown into the hot key's
// text and sets the key to 0.
#pragma once

#include "gui/StdCtrls.h"

namespace gui {

class THotKeyEdit : public TEdit {
public:
    explicit THotKeyEdit(TComponent* owner) : TEdit(owner) {}

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace gui
