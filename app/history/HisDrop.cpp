// THisForm: files dropped from Explorer on the window. On the favourites
// they become favourites of the current tab's category (shortcuts by their
// targets); on the memo the text files among them are appended to its text.
// The window's message filter records which of the two the drop point is on
// (MDropC) before the drop is delivered here.
#include "app/history/His.h"

#include <string>

#include "gui/Application.h"
#include "gui/Screen.h"
#include "gui/Exception.h"
#include "gui/FileIO.h"
#include "gui/Streams.h"
#include "gui/TextCodec.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"
#include "toolkit/TextHelpers.h"

namespace {

constexpr int kDropFileSizeLimitKB = 1024;

std::string ReadDroppedFile(const std::wstring& fileName) {
    std::string bytes;
    if (!gui::ReadWholeFile(fileName, bytes))
        throw gui::Exception(L"ファイル " + fileName + L" を開けません。");
    return bytes;
}

// Drawing of the memo stops while it lives.
class MemoUpdate {
public:
    explicit MemoUpdate(gui::TRichEdit* edit) : edit_(edit) { edit_->BeginUpdate(); }
    ~MemoUpdate() { edit_->EndUpdate(); }
    MemoUpdate(const MemoUpdate&) = delete;
    MemoUpdate& operator=(const MemoUpdate&) = delete;

private:
    gui::TRichEdit* edit_;
};

}  // namespace

bool THisForm::Func_DropFileSizeOK(const std::wstring& fileName) {
    int64_t size = 0;
    {
        gui::TFileStream file(fileName, gui::TFileMode::OpenRead, gui::TFileShare::DenyNone);
        size = file.Seek(0, gui::TSeekOrigin::End);
    }
    if (size < int64_t{kDropFileSizeLimitKB} * 1024) return true;
    ForceForegroundWindow(Handle());
    const std::wstring limit = std::to_wstring(kDropFileSizeLimitKB);
    const std::wstring text =
        fileName + L"は\r\n" + limit + L"KB以上あります。\r\n" + limit + L"KB以上のファイルは扱えません。";
    if (gui::Application) gui::Application->MessageBox(text, L"Orvandel", MB_ICONWARNING);
    else ::MessageBoxW(Handle(), text.c_str(), L"Orvandel", MB_ICONWARNING);
    return false;
}

void THisForm::DropDstFileDrop(gui::TStringList* files) {
    if (MDropC == 2) {
        MemoUpdate update(Edit);
        for (int i = 0; i < files->Count(); ++i) {
            const std::wstring& name = (*files)[i];
            const std::wstring ext = LowerExt(name);
            if (ext == L".exe" || ext == L".dll") continue;
            if (!Func_DropFileSizeOK(name)) continue;
            if (!IsTextFile(name)) continue;
            const std::wstring before = Edit->Text();
            int kind = 0;
            const gui::TTextEncoding encoding = DetectTextEncoding(name, kind);
            const std::wstring loaded = gui::DecodeTextAs(ReadDroppedFile(name), encoding);
            Edit->SetText(before + loaded);
        }
        return;
    }
    if (MDropC != 1) return;

    const int c = Category();
    ForceForegroundWindow(Handle());
    gui::TStringList names;
    {
        gui::TCursorScope wait(gui::TCursor::crHourGlass);
        for (int i = 0; i < files->Count(); ++i) {
            std::wstring name = (*files)[i];
            if (LowerExt(name) == L".lnk") {
                Wow64RedirectionOff off;
                MakeShortCuts->SCSystemPath = tpBlank;
                MakeShortCuts->SCFileName = name;
                MakeShortCuts->SCLoad();
                std::wstring target;
                CutAtNul(MakeShortCuts->SCExecFile, target);
                if (target.empty() || target.find(L"\\\\") != std::wstring::npos) name = target;
                else GetLongPathNameStr(target, name);
            }
            // A shortcut that names no target (or could not be read) adds nothing.
            if (!name.empty()) names.Add(name);
        }
        names.Sort();
        Proc_SaveUndo(L"ドラッグ＆ドロップ");

        gui::TStringList& favs = Lists.Favourites(c);
        auto append = [&favs](const std::wstring& s) {
            const int old = favs.IndexOf(s);
            if (old >= 0) favs.Delete(old);
            favs.Add(s);
        };
        try {
            for (int i = names.Count() - 1; i >= 0; --i) {
                const std::wstring& name = names[i];
                switch (c) {
                    case 0: {
                        const std::wstring text = gui::DecodeText(ReadDroppedFile(name), gui::TTextEncoding::Ansi);
                        if (!text.empty()) append(text);
                        break;
                    }
                    case 1:
                        if (LowerExt(name) != L".exe") append(name);
                        break;
                    case 2:
                        if (LowerExt(name) == L".exe") append(name);
                        break;
                    default:
                        if (DirectoryExistsNoRedirect(name)) append(name);
                        break;
                }
            }
        } catch (...) {
            // What was appended before the failing file stays, within the
            // limit, and shows; the error goes on.
            Lists.Proc_DeleteFileFav(c);
            ListBoxFav->SetItemIndex(-1);
            Proc_DispFav();
            TrayMenu.Proc_PPListSet(c);
            throw;
        }
    }
    Lists.Proc_DeleteFileFav(c);
    ListBoxFav->SetItemIndex(-1);
    Proc_DispFav();
    Proc_DispStatus();
    TrayMenu.Proc_PPListSet(c);
}
