// Standard controls: button, image button, label, edit, memo, check box,
// radio button, group box, list box, check list box and combo box. Each is a
// system control superclassed under the class library's name ("TButton",
// "TListBox", "TComboBox", ...), made in two steps (see WinControl.h). What a
// kind's window is made with beyond TControlArgs is its T*Args struct, given
// to its constructor (NewControl's `kind`).
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

struct TLabelArgs {
    TAlignment Alignment = TAlignment::taLeftJustify;
    // "&" marks the accelerator character (underlined) instead of showing itself.
    bool ShowAccelChar = false;
};

class TLabel : public TWinControl {
public:
    using TKindArgs = TLabelArgs;
    explicit TLabel(TComponent* owner, const TLabelArgs& label = {}) : TWinControl(owner), label_(label) {}

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TLabelArgs label_;
};

struct TEditArgs {
    bool Border = true;
};

class TEdit : public TWinControl {
public:
    using TKindArgs = TEditArgs;
    explicit TEdit(TComponent* owner, const TEditArgs& edit = {}) : TWinControl(owner), edit_(edit) {}
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
    TEditArgs edit_;
    bool link_ = false;
    bool pressed_ = false;
};

struct TMemoArgs {
    // Off: long lines scroll sideways.
    bool WordWrap = true;
};

// A multi-line edit; Enter starts a new line.
class TMemo : public TEdit {
public:
    using TKindArgs = TMemoArgs;
    explicit TMemo(TComponent* owner, const TMemoArgs& memo = {}) : TEdit(owner), memo_(memo) {}
    int LineCount() { return static_cast<int>(Perform(EM_GETLINECOUNT)); }

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TMemoArgs memo_;
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

struct TRadioGroupArgs {
    int Columns = 1;
};

// Radio buttons in columns inside a group box; ItemIndex is the checked one.
class TRadioGroup : public TGroupBox {
public:
    using TKindArgs = TRadioGroupArgs;
    explicit TRadioGroup(TComponent* owner, const TRadioGroupArgs& group = {}) : TGroupBox(owner), group_(group) {}
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
    TRadioGroupArgs group_;
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

struct TListBoxArgs {
    TListBoxStyle Style = TListBoxStyle::lbStandard;
    bool Sorted = false;
    bool MultiSelect = false;
    // The rows' height an owner-drawn list asks for (OnMeasureItem may change it).
    int ItemHeight = 16;
};

class TListBox : public TWinControl {
public:
    using TKindArgs = TListBoxArgs;
    explicit TListBox(TComponent* owner, const TListBoxArgs& list = {}) : TWinControl(owner), list_(list) {}

    bool MultiSelect() const noexcept { return list_.MultiSelect; }
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

private:
    TListBoxArgs list_;
};

// A list whose items carry a check box; a click on the box or Space toggles
// it. The check marks are kept as the items' data; the list is always
// owner-drawn, whatever its Style says.
class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* owner, const TListBoxArgs& list = {});
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

struct TComboBoxArgs {
    TComboBoxStyle Style = TComboBoxStyle::csDropDown;
    // Rows the dropped-down list shows.
    int DropDownCount = 8;
};

class TComboBox : public TWinControl {
public:
    using TKindArgs = TComboBoxArgs;
    explicit TComboBox(TComponent* owner, const TComboBoxArgs& combo = {}) : TWinControl(owner), combo_(combo) {}

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
    TComboBoxArgs combo_;
    // While OnChange runs for a pick: the picked text.
    bool picking_ = false;
    std::wstring picked_;
};

}  // namespace gui
