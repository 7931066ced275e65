#include "gui/Dialogs.h"

#include <commdlg.h>
#include <algorithm>

#include "gui/Application.h"
#include "gui/Callback.h"

namespace gui {

namespace {

const wchar_t kDialogObjectProp[] = L"OrvandelDialogObject";
const int kFileTypeComboId = 0x470;  // cmb1
const int kFileTypeLabelId = 0x441;  // stc2

HWND DialogOwner() {
    HWND active = ::GetActiveWindow();
    if (active) return active;
    return Application ? Application->Handle() : nullptr;
}

// "a|b|c|d" as the system wants it: pairs separated and ended by NULs.
std::wstring SystemFilter(const std::wstring& filter) {
    std::wstring out = filter;
    std::replace(out.begin(), out.end(), L'|', L'\0');
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

}  // namespace

bool TOpenDialog::Execute() {
    std::wstring filter = SystemFilter(Filter);
    std::wstring buffer = FileName;
    buffer.resize(std::max<size_t>(buffer.size() + 1, 32768), L'\0');
    OPENFILENAMEW ofn{sizeof(ofn)};
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;
    if (Options & ofFileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (Options & ofPathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
    if (Options & ofNoDereferenceLinks) ofn.Flags |= OFN_NODEREFERENCELINKS;
    if (Options & ofEnableSizing) ofn.Flags |= OFN_ENABLESIZING;
    if (Options & ofOverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (Options & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    ofn.lpfnHook = Hook;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    BOOL ok = Save() ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!ok) return false;
    FileName = buffer.c_str();
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

UINT_PTR CALLBACK TOpenDialog::Hook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardCallback(UINT_PTR{0}, [&]() -> UINT_PTR {
        if (msg == WM_INITDIALOG) {
            auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lp);
            auto* self = reinterpret_cast<TOpenDialog*>(ofn->lCustData);
            ::SetPropW(wnd, kDialogObjectProp, self);
            self->DialogShown(::GetParent(wnd));
            return TRUE;
        }
        auto* self = static_cast<TOpenDialog*>(::GetPropW(wnd, kDialogObjectProp));
        if (!self) return 0;
        if (msg == WM_NOTIFY) {
            auto* note = reinterpret_cast<OFNOTIFYW*>(lp);
            HWND dialog = ::GetParent(wnd);
            if (note->hdr.code == CDN_SELCHANGE) {
                wchar_t path[MAX_PATH * 4] = {};
                if (::SendMessageW(dialog, CDM_GETFILEPATH, MAX_PATH * 4, reinterpret_cast<LPARAM>(path)) > 0) {
                    self->SelectionChanged(path);
                    if (self->OnSelectionChange) {
                        auto handler = self->OnSelectionChange;
                        handler(self, path);
                    }
                }
            } else if (note->hdr.code == CDN_FILEOK) {
                self->DialogClosing(dialog);
            }
        } else if (msg == WM_DESTROY) {
            ::RemovePropW(wnd, kDialogObjectProp);
        }
        return 0;
    });
}

void TSaveDialog::DialogShown(HWND dialog) {
    // A label and a combo under the file type, the dialog grown to hold them.
    HWND typeCombo = ::GetDlgItem(dialog, kFileTypeComboId);
    HWND typeLabel = ::GetDlgItem(dialog, kFileTypeLabelId);
    if (!typeCombo) return;
    RECT combo{}, label{}, frame{};
    ::GetWindowRect(typeCombo, &combo);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&combo), 2);
    if (typeLabel) {
        ::GetWindowRect(typeLabel, &label);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&label), 2);
    } else {
        label = RECT{8, combo.top, combo.left - 4, combo.bottom};
    }
    int step = combo.bottom - combo.top + 8;
    ::GetWindowRect(dialog, &frame);
    ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + step,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(typeCombo, WM_GETFONT, 0, 0));
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    HWND text = ::CreateWindowExW(0, L"STATIC", L"文字コード(&E):", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                                  label.left, label.top + step, label.right - label.left,
                                  label.bottom - label.top, dialog, nullptr, inst, nullptr);
    combo_ = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                               combo.left, combo.top + step, combo.right - combo.left, 200, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEncodingComboId)), inst, nullptr);
    for (HWND w : {text, combo_}) ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const std::wstring& e : Encodings) ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
    ::SendMessageW(combo_, CB_SETCURSEL, EncodingIndex, 0);
}

void TSaveDialog::SetEncodingIndex(int index) {
    EncodingIndex = index;
    if (combo_ && ::IsWindow(combo_)) ::SendMessageW(combo_, CB_SETCURSEL, index, 0);
}

void TSaveDialog::SelectionChanged(const std::wstring& path) {
    if (!EncodingOfFile) return;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    auto encodingOf = EncodingOfFile;
    const int index = encodingOf(path);
    if (index >= 0 && index < static_cast<int>(Encodings.size())) SetEncodingIndex(index);
}

void TSaveDialog::DialogClosing(HWND) {
    if (combo_ && ::IsWindow(combo_)) {
        auto index = static_cast<int>(::SendMessageW(combo_, CB_GETCURSEL, 0, 0));
        if (index >= 0) EncodingIndex = index;
    }
    combo_ = nullptr;
}

bool TFontDialog::Execute() {
    LOGFONTW lf = Font.LogFont();
    CHOOSEFONTW cf{sizeof(cf)};
    cf.hwndOwner = DialogOwner();
    cf.lpLogFont = &lf;
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
    if (Options & fdEffects) cf.Flags |= CF_EFFECTS;
    if (Options & fdForceFontExist) cf.Flags |= CF_FORCEFONTEXIST;
    if ((Options & fdLimitSize) && MinFontSize > 0 && MaxFontSize >= MinFontSize) {
        cf.Flags |= CF_LIMITSIZE;
        cf.nSizeMin = MinFontSize;
        cf.nSizeMax = MaxFontSize;
    }
    cf.rgbColors = static_cast<COLORREF>(Font.Color());
    if (!::ChooseFontW(&cf)) return false;
    Font.SetName(lf.lfFaceName);
    Font.SetHeight(lf.lfHeight);
    TFontStyles style = 0;
    if (lf.lfWeight >= FW_BOLD) style |= fsBold;
    if (lf.lfItalic) style |= fsItalic;
    if (lf.lfUnderline) style |= fsUnderline;
    if (lf.lfStrikeOut) style |= fsStrikeOut;
    Font.SetStyle(style);
    Font.SetCharset(lf.lfCharSet);
    if (Options & fdEffects) Font.SetColor(static_cast<TColor>(cf.rgbColors));
    return true;
}

}  // namespace gui
