// TMakeShortCut: reads and writes a shell shortcut file (".lnk"): its
// comment, target, arguments, working folder and how the target's window is
// shown. TMakeShortCuts is the same with the icon location. Nothing is
// raised: a shortcut that cannot be read comes back with empty texts and the
// normal show mode, one that cannot be written leaves no file.
#pragma once

#include <string>

#include "components/ShortCutFile.h"
#include "gui/Component.h"

class TMakeShortCut : public gui::TComponent {
public:
    explicit TMakeShortCut(gui::TComponent* owner);

    // Relative to the base folder; with tpBlank the full path including ".lnk".
    std::wstring SCFileName;
    TShowMode SCShowCmd = tsNormal;
    std::wstring SCDescription;
    std::wstring SCExecFile;
    std::wstring SCArguments;
    std::wstring SCWorkDir;
    TSysPath SCSystemPath = tpBlank;

    void SCLoad();
    // Creates or replaces the file.
    void SCSave();
    // Both the base folder followed by SCFileName.
    std::wstring GetSaveName() const;
    std::wstring GetLoadName() const;

protected:
    // What a version of the component keeps beyond these fields.
    virtual void LoadMore(const ShellLinkFile& link) {}
    virtual void SaveMore(ShellLinkFile& link) {}
};
