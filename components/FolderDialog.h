// TFolderDlg: the shell's folder browser as a component. The caller sets
// Title and Root (the folder selected when the browser opens, none when
// empty), calls Execute and reads FolderName. The owner must be a form or
// another windowed control: its window owns the browser.
#pragma once

#include <string>

#include "gui/Component.h"

class TFolderDlg : public gui::TComponent {
public:
    explicit TFolderDlg(gui::TComponent* owner);

    std::wstring Title;
    std::wstring Root;
    // The chosen folder's path; empty after a cancel.
    std::wstring FolderName;

    // True when a file-system folder was chosen (FolderName holds it); false
    // when the browser was cancelled or the choice has no path.
    bool Execute();
};
