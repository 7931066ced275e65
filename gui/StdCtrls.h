// Standard controls of the GUI layer: button, label, edit and image. Each is a
// system control superclassed under the class library's name ("TButton",
// "TLabel", "TEdit", "TImage"), a child of a form or another control, using
// its own font. Notifications the parent receives (WM_COMMAND, the colour
// messages) are handed back to the control they came from.
#pragma once

#include <functional>
#include <string>

#include "gui/Graphics.h"
#include "gui/WinControl.h"

namespace gui {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Base of the child controls: made at once under the parent, with bounds
// in the parent's client coordinates.
class TControl : public TWinControl {
public:
    TFont& Font() noexcept { return font_; }
    // Re-applies the font after it was changed.
    void FontChanged();
    TWinControl* Parent() const noexcept { return parent_; }

protected:
    TControl(TWinControl* parent, const wchar_t* className, const wchar_t* baseClass, DWORD style,
             DWORD exStyle, const RECT& bounds, const std::wstring& text);
    // The parent's font takes the name of the system's menu font unless set.
    static TFont& DefaultFont();

private:
    TWinControl* parent_;
    TFont font_;
};

class TButton : public TControl {
public:
    TButton(TWinControl* parent, const std::wstring& caption, const RECT& bounds);
    // The form's modal result when clicked (mrNone: none).
    int ModalResult = 0;
    // Enter presses the default button, Esc the cancel button.
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);
    bool Default() const noexcept { return default_; }
    bool Cancel() const noexcept { return cancel_; }
    void Click();
    std::function<void(TButton* sender)> OnClick;

protected:
    bool HandleNotify(WORD code) override;

private:
    bool default_ = false, cancel_ = false;
};

class TLabel : public TControl {
public:
    TLabel(TWinControl* parent, const std::wstring& caption, const RECT& bounds,
           TAlignment alignment = TAlignment::taLeftJustify);
};

class TEdit : public TControl {
public:
    TEdit(TWinControl* parent, const std::wstring& text, const RECT& bounds, bool border = true);
    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }
    void SetReadOnly(bool readOnly);
    void SetAlignment(TAlignment alignment);
    // Drawn as a link: button-face background, hot-light text, hand cursor.
    void SetLinkLook(bool link);
    std::function<void(TEdit* sender)> OnClick;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool HandleColor(HDC dc, HBRUSH& brush) override;

private:
    bool link_ = false;
    bool pressed_ = false;
};

class TImage : public TControl {
public:
    TImage(TWinControl* parent, const RECT& bounds);
    // Shown stretched to the control's size; the image keeps its own copy.
    void SetIcon(HICON icon);

private:
    TIcon icon_;
};

}  // namespace gui
