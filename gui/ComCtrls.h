// The common controls: tab control, page control with tab sheets, status
// bar, tool bar with its buttons, list view, up-down, track bar and rich
// edit. Each is a thin class over the system control, superclassed under the
// class library's name ("TTabControl", "TRichEdit", ...); the common
// controls are initialised and the rich edit library loaded once, before
// the first of them is made. What a kind's window is made with beyond
// TControlArgs is its T*Args struct, given to its constructor (NewControl's
// `kind`).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/ImageList.h"
#include "gui/WinControl.h"

namespace gui {

class TPopupMenu;
class TEdit;

enum class TTabPosition { tpTop, tpBottom };

struct TTabControlArgs {
    TTabPosition TabPosition = TTabPosition::tpTop;
};

class TTabControl : public TWinControl {
public:
    using TKindArgs = TTabControlArgs;
    explicit TTabControl(TComponent* owner, const TTabControlArgs& tabs = {}) : TWinControl(owner), tabs_(tabs) {}

    int TabCount() const;
    int AddTab(const std::wstring& caption, int imageIndex = -1);
    void SetTab(int index, const std::wstring& caption, int imageIndex = -1);
    void DeleteTab(int index);
    int TabIndex() const;
    void SetTabIndex(int index);
    // Pictures of the tabs; the list stays its owner's.
    void SetImages(TImageList* images);
    // The area under (or above) the tabs, in client coordinates.
    RECT DisplayRect() const;

    std::function<void(TTabControl* sender)> OnChange;
    std::function<void(TTabControl* sender, bool& allowChange)> OnChanging;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;
    RECT AlignRect() const override { return DisplayRect(); }
    virtual void Changed();

private:
    TTabControlArgs tabs_;
};

class TPageControl;

// One page of a page control; its caption is the tab's text.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner) : TWinControl(owner) {}
    TPageControl* PageControl() const;
    int PageIndex() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void BeforeDestruction() override;
};

class TPageControl : public TTabControl {
public:
    explicit TPageControl(TComponent* owner, const TTabControlArgs& tabs = {}) : TTabControl(owner, tabs) {}
    int PageCount() const noexcept { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(index); }
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return TabIndex(); }
    void SetActivePageIndex(int index);

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Changed() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ShowActive();
    std::vector<TTabSheet*> pages_;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner) : TWinControl(owner) {}
    // One text over the whole bar, or panels of the given widths (-1: the rest);
    // PanelText gives the simple text while the bar shows one.
    void SetSimpleText(const std::wstring& text);
    void SetPanels(const std::vector<int>& widths);
    void SetPanelText(int index, const std::wstring& text);
    // The text of a panel; while the bar shows one simple text, that text.
    std::wstring PanelText(int index) const;
    std::function<void(TStatusBar* sender)> OnDblClick;
    // Shows the application's hint as the mouse moves over the controls of
    // its form: in the simple text, or in the first panel.
    bool AutoHint = false;
    void ShowAutoHint(const std::wstring& hint);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ParentMessage(TParentMessage& message) override;

private:
    bool simple_ = true;
    // The simple text as set: not every status bar gives it back.
    std::wstring simpleText_;
};

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator };

class TToolBar;

// A button of a tool bar: a component of its own (found by name on the
// form), placed with TToolBar::AddButton.
class TToolButton : public TComponent {
public:
    explicit TToolButton(TComponent* owner) : TComponent(owner) {}
    ~TToolButton() override;
    std::wstring Caption;
    std::wstring Hint;
    int ImageIndex = -1;
    TToolButtonStyle Style = TToolButtonStyle::tbsButton;
    // Check buttons of one group: pressing one releases the others.
    bool Grouped = false;
    // The menu a drop-down button's arrow pops up.
    TComponentRef<TPopupMenu> DropdownMenu;
    // The next button starts a new row (on a bar that is not Wrapable).
    bool Wrap = false;

    bool Down() const;
    void SetDown(bool down);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // A hidden button takes no room on the bar.
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    // Changes the picture of a button already on its bar.
    void SetImageIndex(int index);
    int Command() const noexcept { return command_; }
    TToolBar* ToolBar() const noexcept { return toolBar_; }
    void Click();
    std::function<void(TToolButton* sender)> OnClick;

private:
    friend class TToolBar;
    TToolBar* toolBar_ = nullptr;
    int command_ = 0;
    bool down_ = false;
    bool enabled_ = true;
    bool visible_ = true;
};

struct TToolBarArgs {
    // Captions right of the pictures (SetShowCaptions changes it later).
    bool ShowCaptions = true;
    // Buttons wrap into more rows as the bar narrows.
    bool Wrapable = true;
};

// What a new tool button is made with (see TToolButton).
struct TToolButtonArgs {
    std::wstring Name;
    std::wstring Caption;
    std::wstring Hint;
    int ImageIndex = -1;
    TToolButtonStyle Style = TToolButtonStyle::tbsButton;
    bool Grouped = false;
    bool Down = false;
    bool Wrap = false;
    TPopupMenu* DropdownMenu = nullptr;
    std::function<void(TToolButton* sender)> OnClick;
};

// A new button owned by `owner`, appended to `bar`.
TToolButton* NewToolButton(TComponent* owner, TToolBar* bar, TToolButtonArgs args);

class TToolBar : public TWinControl {
public:
    using TKindArgs = TToolBarArgs;
    explicit TToolBar(TComponent* owner, const TToolBarArgs& bar = {}) : TWinControl(owner), bar_(bar) {}

    void SetImages(TImageList* images);
    // Appends the button (its fields are read now).
    void AddButton(TToolButton* button);
    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    TToolButton* Buttons(int index) const { return buttons_.at(index); }
    int RowCount() const;
    // Height the buttons need at the current width.
    int NeededHeight() const;
    // Captions right of the pictures (true) or below them, after Create too.
    void SetShowCaptions(bool show);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ParentMessage(TParentMessage& message) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The buttons outlive a bar freed before them: they keep their state
    // and no longer point at it.
    void BeforeDestruction() override;
    std::wstring LongHintAt(POINT client) const override;

private:
    friend class TToolButton;
    void RemoveButton(TToolButton* button) noexcept;
    TToolButton* ByCommand(int command) const;
    void FitHeight();
    TToolBarArgs bar_;
    std::vector<TToolButton*> buttons_;
    int nextCommand_ = 1;
    bool fitting_ = false;
};

enum class TViewStyle { vsIcon, vsReport };

struct TListColumn {
    std::wstring Caption;
    int Width = 0;
};

struct TListViewArgs {
    TViewStyle ViewStyle = TViewStyle::vsReport;
    bool GridLines = false;
    bool RowSelect = true;
    bool SortedAscending = false;
    bool AutoArrange = true;
    // A report's columns, added as the window is made (AddColumn adds more).
    std::vector<TListColumn> Columns;
};

class TListView : public TWinControl {
public:
    using TKindArgs = TListViewArgs;
    explicit TListView(TComponent* owner, const TListViewArgs& view = {}) : TWinControl(owner), view_(view) {}

    void AddColumn(const std::wstring& caption, int width);
    int Count() const;
    int AddItem(const std::wstring& caption, int imageIndex = -1);
    void SetSubItem(int index, int column, const std::wstring& text);
    std::wstring ItemText(int index, int column = 0) const;
    void DeleteItem(int index);
    void Clear();
    int ItemIndex() const;
    void SetItemIndex(int index);
    void SetLargeImages(TImageList* images);
    void SetSmallImages(TImageList* images);
    void SetIconSpacing(int cx, int cy);
    std::function<void(TListView* sender)> OnSelectItem;
    std::function<void(TListView* sender)> OnItemDblClick;
    // A left click in the list (on an item or beside the items).
    std::function<void(TListView* sender)> OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ParentMessage(TParentMessage& message) override;

private:
    TListViewArgs view_;
    int columns_ = 0;
};

struct TUpDownArgs {
    // Past one end the position goes on from the other.
    bool Wrap = false;
};

class TUpDown : public TWinControl {
public:
    using TKindArgs = TUpDownArgs;
    explicit TUpDown(TComponent* owner, const TUpDownArgs& upDown = {}) : TWinControl(owner), upDown_(upDown) {}
    // The edit that shows the position and moves with the up-down.
    void SetAssociate(TEdit* edit);
    void SetRange(int min, int max);
    int Position() const;
    void SetPosition(int position);
    void SetIncrement(int increment);
    std::function<void(TUpDown* sender)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;

private:
    TUpDownArgs upDown_;
};

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* owner) : TWinControl(owner) {}
    void SetRange(int min, int max);
    int Position() const;
    void SetPosition(int position);
    void SetFrequency(int frequency);
    std::function<void(TTrackBar* sender)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void ParentMessage(TParentMessage& message) override;
};

struct TRichEditArgs {
    // Off: long lines scroll sideways.
    bool WordWrap = true;
};

// Rich edit in plain-text mode.
class TRichEdit : public TWinControl {
public:
    using TKindArgs = TRichEditArgs;
    explicit TRichEdit(TComponent* owner, const TRichEditArgs& edit = {}) : TWinControl(owner), edit_(edit) {}
    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }
    void SetReadOnly(bool readOnly);
    int SelStart() const;
    int SelLength() const;
    void SetSel(int start, int length);
    std::wstring SelText() const;
    void Undo() { Perform(EM_UNDO); }
    bool CanUndo() { return Perform(EM_CANUNDO) != 0; }
    // Stops drawing until the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    // Tab stops in dialog units (4 per average character width).
    void SetTabWidth(int dialogUnits);
    std::function<void(TRichEdit* sender)> OnChange;
    std::function<void(TRichEdit* sender)> OnSelectionChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ParentMessage(TParentMessage& message) override;

private:
    TRichEditArgs edit_;
    int updating_ = 0;
};

}  // namespace gui
