#include "components/MakeShortCuts.h"

TMakeShortCuts::TMakeShortCuts(gui::TComponent* owner) : TMakeShortCut(owner) {}

void TMakeShortCuts::LoadMore(const ShellLinkFile& link) { link.IconLocation(SCIconFile, SCIconIdx); }

void TMakeShortCuts::SaveMore(ShellLinkFile& link) { link.SetIconLocation(SCIconFile, SCIconIdx); }
