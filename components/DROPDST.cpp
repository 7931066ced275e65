#include "components/DROPDST.h"

#include <shellapi.h>
#include <memory>

#include "gui/Callback.h"

TDropDst::TDropDst(gui::TComponent* owner) : TControlHook(owner) {}

void TDropDst::SetAcceptDrop(bool value) {
    if (value == FAcceptDrop) return;
    FAcceptDrop = value;
    ApplyAcceptDrop();
}

void TDropDst::Loaded() {
    TControlHook::Loaded();
    ApplyAcceptDrop();
}

void TDropDst::HandleChanged(int kind) {
    TControlHook::HandleChanged(kind);
    ApplyAcceptDrop();
}

void TDropDst::ApplyAcceptDrop() {
    if (FHWndHookTarget && FHWndHookTarget != kCreating && ::IsWindow(FHWndHookTarget))
        ::DragAcceptFiles(FHWndHookTarget, FAcceptDrop);
}

void TDropDst::HookWndProc(TMessage& message) {
    if (message.Msg != WM_DROPFILES) {
        TControlHook::HookWndProc(message);
        return;
    }
    HDROP drop = reinterpret_cast<HDROP>(message.WParam);
    // The handler's exception goes to the application; the drop is finished either way.
    gui::GuardCallback([&] { DeliverDrop(drop); });
    ::DragFinish(drop);
    message.Result = 0;
}

void TDropDst::DeliverDrop(HDROP drop) {
    if (!OnFileDrop) return;
    auto files = std::make_unique<gui::TStringList>();
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Each name is taken whole, however long: a shortened name would name another file.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        const UINT got = ::DragQueryFileW(drop, i, name.data(), length + 1);
        name.resize(got);
        files->Add(name);
    }
    POINT pt{};
    ::DragQueryPoint(drop, &pt);
    OnFileDrop(this, files.get(), pt.x, pt.y);
}
