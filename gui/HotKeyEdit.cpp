#include "gui/HotKeyEdit.h"

namespace gui {

void THotKeyEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.ClassName = L"THotKeyEdit";
    params.Style |= ES_READONLY;
}

LRESULT THotKeyEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            return 0;  // the key's text is the owner's to write
        default:
            break;
    }
    return TEdit::WndProc(msg, wp, lp);
}

}  // namespace gui
