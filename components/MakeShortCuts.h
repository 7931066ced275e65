// TMakeShortCuts: TMakeShortCut's shortcut file with the icon location
// (the file holding the icon and the icon's index in it) as well.
#pragma once

#include <string>

#include "components/MakeShortCut.h"

class TMakeShortCuts : public TMakeShortCut {
public:
    explicit TMakeShortCuts(gui::TComponent* owner);

    std::wstring SCIconFile;
    int SCIconIdx = 0;

protected:
    void LoadMore(const ShellLinkFile& link) override;
    void SaveMore(ShellLinkFile& link) override;
};
