#include "components/MakeShortCut.h"

TMakeShortCut::TMakeShortCut(gui::TComponent* owner) : gui::TComponent(owner) {}

std::wstring TMakeShortCut::GetSaveName() const { return ShortCutFullPath(SCSystemPath, SCFileName); }

std::wstring TMakeShortCut::GetLoadName() const { return ShortCutFullPath(SCSystemPath, SCFileName); }

void TMakeShortCut::SCLoad() {
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
    LoadMore(link);
}

void TMakeShortCut::SCSave() {
    const std::wstring path = GetSaveName();
    ShellLinkFile link;
    link.SetDescription(SCDescription);
    link.SetPath(SCExecFile);
    link.SetArguments(SCArguments);
    link.SetShowCmd(ShowModeToShowCmd(SCShowCmd));
    link.SetWorkingDirectory(SCWorkDir);
    SaveMore(link);
    link.Save(path);
}
