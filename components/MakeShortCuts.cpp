#include "components/MakeShortCuts.h"

TMakeShortCuts::TMakeShortCuts(gui::TComponent* owner) : gui::TComponent(owner) {}

std::wstring TMakeShortCuts::GetSaveName() const { return ShortCutFullPath(SCSystemPath, SCFileName); }

std::wstring TMakeShortCuts::GetLoadName() const { return ShortCutFullPath(SCSystemPath, SCFileName); }

void TMakeShortCuts::SCLoad() {
    // The name first: the shell may rewrite the registry's folder values
    // while it works with the link.
    const std::wstring path = GetLoadName();
    ShellLinkFile link;
    link.Load(path);
    SCDescription = link.Description();
    SCExecFile = link.Path();
    SCArguments = link.Arguments();
    ReadShowMode(link, SCShowCmd);
    SCWorkDir = link.WorkingDirectory();
    link.IconLocation(SCIconFile, SCIconIdx);
}

void TMakeShortCuts::SCSave() {
    const std::wstring path = GetSaveName();
    ShellLinkFile link;
    link.SetDescription(SCDescription);
    link.SetPath(SCExecFile);
    link.SetArguments(SCArguments);
    link.SetShowCmd(ShowModeToShowCmd(SCShowCmd));
    link.SetWorkingDirectory(SCWorkDir);
    link.SetIconLocation(SCIconFile, SCIconIdx);
    link.Save(path);
}
