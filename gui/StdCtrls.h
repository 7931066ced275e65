// Standard controls: button, image button, label, edit, memo, check box,
// radio button, group box, list box, check list box and combo box. Each is a
// system control superclassed under the class library's name ("TButton",
// "TListBox", "TComboBox", ...), made in two steps (see WinControl.h).
// Fields marked "before Create" are read by CreateParams.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Graphics.h"
#include "gui/ImageList.h"
#include "gui/WinControl.h"

namespace gui {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner) : TWinControl(owner) {}
    // The form's modal result when clicked (mrNone: none).
    int ModalResult = 0;
    // Enter presses the default button, Esc the cancel button (of its form).
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);
    bool Default() const noexcept { return default_; }
    bool Cancel() const noexcept { return cancel_; }
    // Sets the form's modal result, then runs OnClick.
    void Click();
    std::function<void(TButton* sender)> OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;
    bool ownerDraw_ = false;

private:
    bool default_ = false, cancel_ = false;
};

// A push button with a picture left of its caption; pixels of the glyph's
// transparent colour (by default its bottom-left pixel) let the face show.
class TImageButton : public TButton {
public:
    explicit TImageButton(TComponent* owner) : TButton(owner) { ownerDraw_ = true; }
    void SetGlyph(TBitmap& glyph, TColor transparentColor = clNone);
    // No picture: the caption alone.
    void ClearGlyph();

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;

private:
    TImageList glyph_{nullptr};
    bool hasGlyph_ = false;
};

class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* owner) : TWinControl(owner) {}
    TAlignment Alignment = TAlignment::taLeftJustify;  // before Create
    // "&" marks the accelerator character (underlined) instead of showing itself.
    bool ShowAccelChar = false;  // before Create

protected:
    void CreateParams(TCreateParams& params) override;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner) : TWinControl(owner) {}
    bool Border = true;  // before Create
    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }
    void SetReadOnly(bool readOnly);
    void SetMaxLength(int length);
    void SetAlignment(TAlignment alignment);
    void SelectAll();
    // Drawn as a link: button-face background, hot-light text, hand cursor.
    void SetLinkLook(bool link);
    std::function<void(TEdit* sender)> OnClick;
    std::function<void(TEdit* sender)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void ParentMessage(TParentMessage& message) override;

private:
    bool link_ = false;
    bool pressed_ = false;
};

// A multi-line edit; Enter starts a new line.
class TMemo : public TEdit {
public:
    explicit TMemo(TComponent* owner) : TEdit(owner) {}
    bool WordWrap = true;  // before Create
    int LineCount() { return static_cast<int>(Perform(EM_GETLINECOUNT)); }

protected:
    void CreateParams(TCreateParams& params) override;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner) : TWinControl(owner) {}
    bool Checked() const;
    // Changes the mark without raising OnClick.
    void SetChecked(bool checked);
    std::function<void(TCheckBox* sender)> OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;
};

class TRadioButton : public TCheckBox {
public:
    explicit TRadioButton(TComponent* owner) : TCheckBox(owner) {}

protected:
    void CreateParams(TCreateParams& params) override;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    RECT AlignRect() const override;
};

// Radio buttons in columns inside a group box; ItemIndex is the checked one.
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* owner) : TGroupBox(owner) {}
    int Columns = 1;
    void SetItems(const std::vector<std::wstring>& items);
    int Count() const noexcept { return static_cast<int>(buttons_.size()); }
    int ItemIndex() const;
    void SetItemIndex(int index);
    TRadioButton* Button(int index) const { return buttons_.at(index); }
    std::function<void(TRadioGroup* sender)> OnClick;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ArrangeButtons();
    std::vector<TRadioButton*> buttons_;
};

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed };

struct TDrawItemInfo {
    int Index;
    TCanvas& Canvas;
    RECT Rect;
    bool Selected;
    bool Focused;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner) : TWinControl(owner) {}
    // Before Create.
    TListBoxStyle Style = TListBoxStyle::lbStandard;
    bool Sorted = false;
    bool MultiSelect = false;
    int ItemHeightAtCreate = 16;

    int Count() const;
    // The index of the new item (its sorted place in a sorted list).
    int Add(const std::wstring& text, LPARAM data = 0);
    void Insert(int index, const std::wstring& text, LPARAM data = 0);
    void Delete(int index);
    void Clear();
    // Throws gui::Exception for a bad index.
    std::wstring Item(int index) const;
    LPARAM Data(int index) const;
    void SetData(int index, LPARAM data);
    // The first item equal to text ignoring case, or -1.
    int IndexOf(const std::wstring& text) const;

    int ItemIndex() const;
    void SetItemIndex(int index);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int TopIndex() const;
    void SetTopIndex(int index);
    int ItemHeight() const;
    void SetItemHeight(int height);
    // Width the list scrolls over horizontally (0: no scrolling).
    void SetHorizontalExtent(int width);
    // The item at a client point, or -1.
    int ItemAtPos(POINT pt) const;
    RECT ItemRect(int index) const;

    std::function<void(TListBox* sender)> OnClick;
    std::function<void(TListBox* sender, int index, int& height)> OnMeasureItem;
    std::function<void(TListBox* sender, TDrawItemInfo& item)> OnDrawItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;
    // Draws an item when there is no OnDrawItem.
    virtual void DrawItem(TDrawItemInfo& item);
    void CheckIndex(int index) const;
};

// A list whose items carry a check box; a click on the box or Space toggles
// it. The check marks are kept as the items' data.
class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* owner) : TListBox(owner) { Style = TListBoxStyle::lbOwnerDrawFixed; }
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    std::function<void(TCheckListBox* sender)> OnClickCheck;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void DrawItem(TDrawItemInfo& item) override;

private:
    void Toggle(int index);
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner) : TWinControl(owner) {}
    TComboBoxStyle Style = TComboBoxStyle::csDropDown;  // before Create
    int DropDownCount = 8;                                // before Create

    int Count() const;
    int Add(const std::wstring& text);
    // index == Count() appends.
    void Insert(int index, const std::wstring& text);
    // Throws gui::Exception for a bad index.
    void Delete(int index);
    void Clear();
    std::wstring Item(int index) const;
    int IndexOf(const std::wstring& text) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::wstring Text() const { return picking_ ? picked_ : Caption(); }
    void SetText(const std::wstring& text) {
        picking_ = false;
        SetCaption(text);
    }
    void SetMaxLength(int length);
    bool DroppedDown() const;
    void SetBounds(int left, int top, int width, int height) override;

    // A pick from the list or an edit of the text; after a pick Text() is
    // already the picked item's text.
    std::function<void(TComboBox* sender)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;

private:
    int ListHeight() const;
    // While OnChange runs for a pick: the picked text.
    bool picking_ = false;
    std::wstring picked_;
};

}  // namespace gui
