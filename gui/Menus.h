// Pop-up menus: TPopupMenu with a tree of TMenuItem.
//
// Items are components (owned by a form, found by name, with a tag) that sit
// under a parent item; they can be added, inserted and freed at any time.
// Captions are shown as written: "&" marks an accelerator only where the
// caller put one, and "-" is a separator. The native menu is built from the
// items each time the menu pops up, and each sub-menu again as it opens, so
// whatever the pop-up event or a sub-menu item's click changes shows at once.
#pragma once

#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"

namespace gui {

class TPopupMenu;
class TBitmap;
class TImageList;

// A shortcut key: the virtual key with scShift, scCtrl and scAlt added.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(WORD key, unsigned shift);  // shift: ssShift | ssCtrl | ssAlt
// "Ctrl+Shift+F3" and the like, as shown beside a caption.
std::wstring ShortCutToText(TShortCut shortCut);

// mbBreak starts a new column, mbBarBreak a new column with a bar.
enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    // Leaves its parent and frees its sub-items.
    ~TMenuItem() override;

    const std::wstring& Caption() const noexcept { return caption_; }
    void SetCaption(const std::wstring& caption) { caption_ = caption; }
    bool IsLine() const noexcept { return caption_ == L"-"; }

    bool Checked() const noexcept { return checked_; }
    // Checking a radio item unchecks the radio items of its group beside it.
    void SetChecked(bool checked);
    // A click toggles the check mark (a radio item: checks it) before OnClick.
    bool AutoCheck = false;
    bool RadioItem() const noexcept { return radioItem_; }
    void SetRadioItem(bool radio);
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // A hidden item is left out of the menu.
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    // The default item is shown in bold.
    bool Default() const noexcept { return default_; }
    void SetDefault(bool isDefault) { default_ = isDefault; }
    TMenuBreak Break() const noexcept { return break_; }
    void SetBreak(TMenuBreak value) { break_ = value; }
    // A picture beside the caption; it stays its owner's, who keeps it alive
    // while the item shows it (nullptr: none).
    HBITMAP Bitmap() const noexcept { return bitmap_; }
    void SetBitmap(HBITMAP bitmap) { bitmap_ = bitmap; }
    // A picture the item owns from now on (replaces any picture set before).
    void SetOwnedBitmap(std::unique_ptr<TBitmap> bitmap);
    // The picture from the menu's image list (when the item has no bitmap).
    int ImageIndex = -1;
    // Works while the menu is closed: the form whose window has the focus
    // asks its menus (a control's pop-up menu only while the focus is in that
    // control); the item's menu runs its pop-up event first, so the
    // enabled state is current; a disabled item lets the key go on as a key.
    TShortCut ShortCut = 0;

    // Sub-items; an item with sub-items opens a sub-menu.
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    int IndexOf(const TMenuItem* item) const noexcept;
    void Add(TMenuItem* item);
    // index == Count() appends.
    void Insert(int index, TMenuItem* item);
    // Takes the sub-item out without freeing it.
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Frees every sub-item.
    void Clear();
    TMenuItem* Parent() const noexcept { return parent_; }
    // The pop-up menu this item belongs to, or nullptr.
    TPopupMenu* GetParentMenu() const noexcept;

    // The command id of the item in the native menu (unique in the process).
    UINT Command() const noexcept { return command_; }
    static TMenuItem* FromCommand(UINT command) noexcept;

    // What a pick of the item does: nothing when it is disabled; otherwise
    // the automatic check, then OnClick. The handler may free the item.
    virtual void Click();
    std::function<void(TMenuItem* sender)> OnClick;

private:
    friend class TPopupMenu;

    std::wstring caption_;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    TMenuBreak break_ = TMenuBreak::mbNone;
    HBITMAP bitmap_ = nullptr;
    std::unique_ptr<TBitmap> ownedBitmap_;
    std::unique_ptr<TBitmap> imageBitmap_;  // made from the image list when shown
    std::wstring shownCaption_;             // the caption with its shortcut text
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TPopupMenu* menu_ = nullptr;  // set on the root item only
    UINT command_;
};

// What a new menu item is made with; "-" as the caption makes a separator,
// a radio group other than 0 a radio item of that group.
struct TMenuItemArgs {
    std::wstring Name;
    std::wstring Caption;
    int Tag = 0;
    int RadioGroup = 0;
    bool AutoCheck = false;
    bool Checked = false;
    bool Enabled = true;
    TShortCut ShortCut = 0;
    std::function<void(TMenuItem* sender)> OnClick;
};

// A new item owned by `owner`, added at the end of `parent`'s sub-items
// (no parent: added nowhere yet).
TMenuItem* NewMenuItem(TComponent* owner, TMenuItem* parent, TMenuItemArgs args);

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // The root item; its sub-items are the menu's top level.
    TMenuItem* Items() const noexcept { return items_.get(); }

    // Read by the components that pop the menu up on their own (a right
    // click on a tray icon); Popup itself ignores it.
    bool AutoPopup = true;
    // Who popped the menu up last (set by that caller).
    TComponent* PopupComponent() const noexcept { return popupComponent_; }
    void SetPopupComponent(TComponent* component);

    // Raised before the menu is shown (and before a shortcut key is taken).
    std::function<void(TPopupMenu* sender)> OnPopup;
    // Pictures of the items by ImageIndex; the list stays its owner's.
    TComponentRef<TImageList> Images;
    // Runs the enabled item with this shortcut; true when one took the key.
    bool IsShortCut(TShortCut shortCut);
    // True while OnPopup runs for a shortcut key rather than for showing the
    // menu, so the event can also weigh where the key was pressed.
    bool ForShortCut() const noexcept { return forShortCut_; }

    // Shows the menu with its top-left corner at the screen point and returns
    // when it has closed; the picked item's click runs before it returns.
    // With foregroundWindow given (a tray menu) that window is brought to
    // the foreground first, so a click elsewhere closes the menu, and a
    // WM_NULL is posted to it afterwards, so the next menu opens properly.
    void Popup(int x, int y, HWND foregroundWindow = nullptr);
    bool IsOpen() const noexcept { return session_ != nullptr; }
    // Closes the menu if it is open (from a timer or a handler that runs
    // while the menu is up); Popup then returns with nothing picked.
    void CloseMenu();
    // The window the menus are shown for (0 before the first pop-up).
    HWND WindowHandle() const noexcept;
    // The native top-level menu while the menu is open.
    HMENU Handle() const noexcept;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct Session;
    friend class PopupWindow;

    void FillMenu(HMENU menu, TMenuItem* parent);
    bool InitPopup(HMENU menu);

    std::unique_ptr<TMenuItem> items_;
    TComponent* popupComponent_ = nullptr;
    Session* session_ = nullptr;
    bool forShortCut_ = false;
};

}  // namespace gui
