#include "gui/WindowClass.h"

#include <commctrl.h>
#include <richedit.h>
#include <string>

#include "gui/Exception.h"
#include "gui/Handles.h"

namespace gui {

void RegisterWindowClass(WNDCLASSEXW wc) {
    wc.cbSize = sizeof(wc);
    if (!wc.hInstance) wc.hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW known{sizeof(known)};
    if (::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &known)) {
        if (known.lpfnWndProc != wc.lpfnWndProc)
            throw Exception(std::wstring(L"ウィンドウクラスが別の用途で登録されています: ") +
                            wc.lpszClassName);
        return;
    }
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::wstring(L"ウィンドウクラスを登録できません: ") + wc.lpszClassName);
}

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc)};
        icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                    ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS;
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

const wchar_t* RichEditClass() {
    // Loaded once; the module handle is never freed while windows may use it.
    static const wchar_t* const name = []() -> const wchar_t* {
        if (::LoadLibraryW(L"msftedit.dll")) return MSFTEDIT_CLASS;
        if (::LoadLibraryW(L"riched20.dll")) return RICHEDIT_CLASSW;
        return nullptr;
    }();
    if (!name) throw Exception(L"リッチエディットのライブラリを読み込めません");
    return name;
}

}  // namespace gui
