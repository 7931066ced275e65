// TTrashWatch: the main form's recycle bin. It knows the bin's display name
// (the title of its Explorer window), opens and empties the bin from the
// settings menu, and on every heartbeat tick watches for Explorer's delete
// dialog to open the bin beside it and close the bin again when the dialog
// is answered.
#pragma once

#include <windows.h>

#include <string>

class TTrayForm;

class TTrashWatch {
public:
    explicit TTrashWatch(TTrayForm& form) : Form(form) {}
    TTrashWatch(const TTrashWatch&) = delete;
    TTrashWatch& operator=(const TTrashWatch&) = delete;

    // The bin's display name, the bin window this program opened, and the
    // delete dialog being watched.
    std::wstring MTrashName;
    HWND MTrashWin = nullptr, MTrashDlg = nullptr;

    // Reads the display name from the registry ("ごみ箱" when it has none).
    void ReadTrashName();
    // Menu: opens the bin window and waits for it up to 3 s; empties the bin.
    void PPTrashOpenClick();
    void PPTrashEmptyClick();
    // The heartbeat step.
    void Proc_TrashCheck();

private:
    TTrayForm& Form;
};

// Whether the recycle bin of all drives holds an item.
bool RecycleBinHasItems();
