// The common dialogs: open, save (with an extra encoding combo) and font.
// Execute shows the dialog modally, owned by the active form (or the
// application window), and returns false when the user cancels it.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Graphics.h"

namespace gui {

enum TOpenOption : unsigned {
    ofFileMustExist = 1, ofNoDereferenceLinks = 2, ofEnableSizing = 4, ofOverwritePrompt = 8,
    ofPathMustExist = 16, ofHideReadOnly = 32
};

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    std::wstring Title;
    std::wstring InitialDir;
    // "テキスト (*.txt)|*.txt|すべて (*.*)|*.*"
    std::wstring Filter;
    int FilterIndex = 1;  // 1-based, as the system counts
    std::wstring FileName;
    std::wstring DefaultExt;
    unsigned Options = ofHideReadOnly | ofEnableSizing;
    bool Execute();

    // The selection in the dialog changed to this file (while it is open).
    std::function<void(TOpenDialog* sender, const std::wstring& fileName)> OnSelectionChange;

protected:
    virtual bool Save() const { return false; }
    // The dialog window was made (hook dialog given) / is about to close.
    virtual void DialogShown(HWND dialog) {}
    virtual void DialogClosing(HWND dialog) {}
    // The selection in the open dialog changed to this path.
    virtual void SelectionChanged(const std::wstring& path) {}

private:
    static UINT_PTR CALLBACK Hook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
};

// A save dialog with an encoding combo under the file type. The combo's
// choice is EncodingIndex; OnSelectionChange may set it (SetEncodingIndex)
// to follow the selected file.
class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) { Options |= ofOverwritePrompt; }
    std::vector<std::wstring> Encodings;
    int EncodingIndex = 0;
    // While the dialog is open: selects the encoding in the combo.
    void SetEncodingIndex(int index);
    // When set, the combo follows the file: choosing an existing file in the
    // dialog selects the row this gives for it (one out of range leaves the
    // choice as it is). Runs before OnSelectionChange.
    std::function<int(const std::wstring& fileName)> EncodingOfFile;
    // The combo's control id in the dialog.
    static constexpr int kEncodingComboId = 0x4F0;

protected:
    bool Save() const override { return true; }
    void DialogShown(HWND dialog) override;
    void DialogClosing(HWND dialog) override;
    void SelectionChanged(const std::wstring& path) override;

private:
    HWND combo_ = nullptr;
};

enum TFontDialogOption : unsigned { fdEffects = 1, fdLimitSize = 2, fdForceFontExist = 4 };

class TFontDialog : public TComponent {
public:
    explicit TFontDialog(TComponent* owner) : TComponent(owner) {}
    TFont Font;
    unsigned Options = fdEffects;
    int MinFontSize = 0, MaxFontSize = 0;
    bool Execute();
};

}  // namespace gui
