#include "components/FolderDialog.h"

#include <windows.h>
#include <shlobj.h>

#include "gui/Callback.h"
#include "gui/WinControl.h"

namespace {

int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM, LPARAM data) {
    return gui::GuardCallback(0, [&] {
        if (msg == BFFM_INITIALIZED) ::SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, data);
        return 0;
    });
}

}  // namespace

TFolderDlg::TFolderDlg(gui::TComponent* owner) : TComponent(owner) {}

bool TFolderDlg::Execute() {
    BROWSEINFOW info{};
    auto* control = dynamic_cast<gui::TWinControl*>(Owner());
    info.hwndOwner = control ? control->Handle() : nullptr;
    info.lpszTitle = Title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!Root.empty()) {
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(Root.c_str());
    }
    gui::CoTaskMem<PIDLIST_ABSOLUTE> list(::SHBrowseForFolderW(&info));
    FolderName.clear();
    bool chosen = false;
    if (list.get()) {
        wchar_t buf[MAX_PATH + 1] = {};
        // An item without a file-system path is no choice: the caller is
        // told so rather than handed an empty folder as chosen.
        if (::SHGetPathFromIDListW(list.get(), buf)) {
            FolderName = buf;
            chosen = !FolderName.empty();
        }
    }
    return chosen;
}
