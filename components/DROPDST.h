// TDropDst accepts files dropped from Explorer onto a control's window (or
// its form's) and reports their names with the drop point. It keeps
// accepting when the window is created again.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <functional>

#include "components/CTLHOOK.h"
#include "gui/StringList.h"

class TDropDst;
// Files: the dropped names in the order the drop gives them; X, Y: client
// coordinates of the window that received the drop.
using TFileDropEvent = std::function<void(TDropDst* sender, gui::TStringList* files, int x, int y)>;

class TDropDst : public TControlHook {
public:
    explicit TDropDst(gui::TComponent* owner);

    bool AcceptDrop() const noexcept { return FAcceptDrop; }
    void SetAcceptDrop(bool value);
    TFileDropEvent OnFileDrop;

    void Loaded() override;

protected:
    void HandleChanged(int kind) override;
    void HookWndProc(TMessage& message) override;

private:
    void ApplyAcceptDrop();
    void DeliverDrop(HDROP drop);

    bool FAcceptDrop = true;
};
