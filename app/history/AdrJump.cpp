#include "app/history/AdrJump.h"

#include "gui/Application.h"
#include "toolkit/Wow64.h"

TAdrJumpForm* AdrJumpForm = nullptr;

TAdrJumpForm::TAdrJumpForm(gui::TComponent* owner) : TForm(owner, L"TAdrJumpForm") {
    Name = L"AdrJumpForm";
    BorderStyle = gui::TFormBorderStyle::bsNone;
    ToolWindow = true;
    CreationLeft = CreationTop = 0;
    CreationWidth = CreationHeight = 0;
}

void TAdrJumpForm::Func_FindExp() {
    std::unique_ptr<TShellWindowList> windows = ShellWindowsSource ? ShellWindowsSource() : nullptr;
    if (!windows) return;
    // From the last window down, so that without the preferred window the
    // first one of the collection is the one left chosen.
    for (int i = windows->Count() - 1; i >= 0; --i) {
        std::unique_ptr<TShellBrowser> item = windows->Item(i);
        if (!item) continue;
        IEObj = std::move(item);
        std::wstring url;
        if (!IEObj->LocationURL(url) || url.find(L"file:") == std::wstring::npos) continue;
        IEHandle = IEObj->WindowHandle();
        if (IEHandle && IEHandle == MTargetHandle) break;
    }
}

bool TAdrJumpForm::Func_JumpExp(const std::wstring& folder) {
    IEObj.reset();
    IEHandle = nullptr;
    Func_FindExp();
    if (!IEObj || !::IsWindow(IEHandle)) {
        IEObj.reset();
        IEHandle = nullptr;
        return false;
    }
    bool exists = DirectoryExistsNoRedirect(folder);
    if (exists) {
        // A window that refused the request shows nothing new; the caller
        // then opens the folder another way.
        if (!IEObj->Navigate(folder)) return false;
        DWORD start = ::GetTickCount();
        READYSTATE state = READYSTATE_UNINITIALIZED;
        while (IEObj->ReadyState(state) && state <= READYSTATE_LOADED &&
               ::GetTickCount() - start < MNavigateWaitMs) {
            if (gui::Application) gui::Application->ProcessMessages();
            ::Sleep(10);
        }
        IEHandle = IEObj->WindowHandle();
    }
    return IEHandle && IEObj && exists;
}
