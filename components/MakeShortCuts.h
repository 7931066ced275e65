// TMakeShortCuts: TMakeShortCut's shortcut file with the icon location
// (the file holding the icon and the icon's index in it) as well.
#pragma once

#include <string>

#include "components/ShortCutFile.h"
#include "gui/Component.h"

class TMakeShortCuts : public gui::TComponent {
public:
    explicit TMakeShortCuts(gui::TComponent* owner);

    // Relative to the base folder; with tpBlank the full path including ".lnk".
    std::wstring SCFileName;
    TShowMode SCShowCmd = tsNormal;
    std::wstring SCDescription;
    std::wstring SCExecFile;
    std::wstring SCArguments;
    std::wstring SCWorkDir;
    TSysPath SCSystemPath = tpBlank;
    std::wstring SCIconFile;
    int SCIconIdx = 0;

    void SCLoad();
    // Creates or replaces the file.
    void SCSave();
    // Both the base folder followed by SCFileName.
    std::wstring GetSaveName() const;
    std::wstring GetLoadName() const;
};
