// TDualListBox: a list box that keeps a partner list box scrolled to its own
// top row, so two lists side by side read as the columns of one table. Two
// lists that name each other as partner follow each other whichever of them
// is scrolled. A list can be made without its vertical scroll bar, so only
// one of the pair shows one.
#pragma once

#include <windows.h>

#include "gui/StdCtrls.h"

struct TDualListBoxArgs {
    bool HideScrollBar = false;
};

class TDualListBox : public gui::TListBox {
public:
    using TKindArgs = TDualListBoxArgs;
    explicit TDualListBox(gui::TComponent* owner, const TDualListBoxArgs& dual = {})
        : gui::TListBox(owner), FHideScrollBar(dual.HideScrollBar) {}

    // The partner whose top row follows this one's (not owned); nullptr: none.
    gui::TListBox* SynListBox() const noexcept { return FSynListBox; }
    // The list itself is refused with an error message and nothing changes.
    void SetSynListBox(gui::TListBox* value);

    bool HideScrollBar() const noexcept { return FHideScrollBar; }
    // A change on a list whose window exists makes the window anew (items,
    // selection and top row kept), so the style takes effect.
    void SetHideScrollBar(bool value);

protected:
    void Notification(gui::TComponent* component, gui::TOperation operation) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateParams(gui::TCreateParams& params) override;

private:
    void RecreateWnd();

    gui::TListBox* FSynListBox = nullptr;
    bool FHideScrollBar = false;
};
