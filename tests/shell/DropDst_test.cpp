// Files dropped on a window: a real HDROP sent as WM_DROPFILES to real
// windows hooked by TDropDst, on the control itself and on its form, also
// after the window was created again.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <memory>
#include <string>
#include <vector>

#include "components/DROPDST.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/StdCtrls.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/DropFiles.h"

namespace {

using shell_testing::EnsureApplication;
using testing_support::MakeHDrop;

// A form whose window the test can create again with another style.
class DropForm : public gui::TForm {
public:
    DropForm() : gui::TForm(nullptr, L"TOrvDropTestForm") {
        CreationLeft = CreationTop = 40;
        CreationWidth = 320;
        CreationHeight = 240;
    }
    void Recreate(DWORD exStyle) {
        DestroyHandle();
        gui::TCreateParams params;
        CreateParams(params);
        params.ExStyle |= exStyle;
        CreateHandle(params);
    }
};

struct Drop {
    std::vector<std::wstring> files;
    int x = -1, y = -1;
    TDropDst* sender = nullptr;
};

bool AcceptsFiles(HWND wnd) { return (::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

// True once DragFinish has released the handle.
bool Finished(HGLOBAL h) { return ::GlobalSize(h) == 0; }

class DropTarget : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        form = std::make_unique<DropForm>();
        form->Initialize();
        form->Show();
        edit = gui::NewControl<gui::TEdit>(form.get(), {.Bounds = RECT{10, 10, 210, 110}});
    }
    void TearDown() override {
        drop.reset();
        form.reset();
    }
    void MakeDropDst(THookTarget target) {
        drop = std::make_unique<TDropDst>(nullptr);
        drop->OnFileDrop = [this](TDropDst* sender, gui::TStringList* files, int x, int y) {
            Drop d;
            for (int i = 0; i < files->Count(); ++i) d.files.push_back(files->Get(i));
            d.x = x;
            d.y = y;
            d.sender = sender;
            drops.push_back(d);
        };
        drop->SetControl(edit);
        drop->SetTarget(target);
    }

    std::unique_ptr<DropForm> form;
    gui::TEdit* edit = nullptr;  // owned by the form
    std::unique_ptr<TDropDst> drop;
    std::vector<Drop> drops;
};

}  // namespace

TEST_F(DropTarget, DroppedNamesArriveWholeInOrderWithTheirPoint) {
    const std::wstring longName = L"C:\\" + std::wstring(300, L'x') + L".txt";
    struct Case {
        const char* name;
        THookTarget target;
        std::vector<std::wstring> files;
        POINT pt;
    };
    const Case cases[] = {
        {"three files on the control", htControl,
         {L"C:\\data\\b.txt", L"C:\\data\\a.txt", L"C:\\data\\日本語.txt"}, {15, 25}},
        {"three files on the form", htForm,
         {L"C:\\z\\1.doc", L"D:\\y\\2.doc", L"\\\\server\\share\\3.doc"}, {300, 200}},
        {"a name longer than 260 characters is kept whole", htControl,
         {L"C:\\short.txt", longName, L"C:\\after.txt"}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drops.clear();
        MakeDropDst(c.target);
        const HWND wnd = c.target == htForm ? form->Handle() : edit->Handle();
        EXPECT_EQ(drop->HookedWindow(), wnd);
        EXPECT_TRUE(AcceptsFiles(wnd));
        HGLOBAL h = MakeHDrop(c.files, c.pt);
        EXPECT_EQ(::SendMessageW(wnd, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0), 0);
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(drops[0].files, c.files);
        EXPECT_EQ(drops[0].x, c.pt.x);
        EXPECT_EQ(drops[0].y, c.pt.y);
        EXPECT_EQ(drops[0].sender, drop.get());
        EXPECT_TRUE(Finished(h)) << "the drop is finished";
        drop.reset();
    }
}

TEST_F(DropTarget, AcceptDropSwitchesTheStyleAtOnceAndSurvivesANewWindow) {
    MakeDropDst(htForm);
    const HWND old = form->Handle();
    ASSERT_TRUE(AcceptsFiles(old));
    drop->SetAcceptDrop(false);
    EXPECT_FALSE(AcceptsFiles(old));
    drop->SetAcceptDrop(true);
    EXPECT_TRUE(AcceptsFiles(old));

    form->Recreate(WS_EX_TOOLWINDOW);
    const HWND fresh = form->Handle();
    ASSERT_NE(fresh, nullptr);
    ASSERT_TRUE(::GetWindowLongW(fresh, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // The mark of a window being created is replaced at its first message after WM_CREATE.
    ::SendMessageW(fresh, WM_NULL, 0, 0);
    EXPECT_EQ(drop->HookedWindow(), fresh);
    EXPECT_TRUE(AcceptsFiles(fresh)) << "the new window accepts files";

    HGLOBAL h = MakeHDrop({L"C:\\one.txt", L"C:\\two.txt", L"C:\\three.txt"}, {5, 6});
    ::SendMessageW(fresh, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].files, (std::vector<std::wstring>{L"C:\\one.txt", L"C:\\two.txt", L"C:\\three.txt"}));
    EXPECT_TRUE(Finished(h));

    // Switched off, the next window refuses drops too; twice re-created, still hooked.
    drop->SetAcceptDrop(false);
    form->Recreate(0);
    ::SendMessageW(form->Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(drop->HookedWindow(), form->Handle());
    EXPECT_FALSE(AcceptsFiles(form->Handle()));
    drop->SetAcceptDrop(true);
    EXPECT_TRUE(AcceptsFiles(form->Handle()));
}

TEST_F(DropTarget, AThrowingHandlerGoesToTheApplicationAndTheDropIsStillFinished) {
    MakeDropDst(htControl);
    int calls = 0;
    drop->OnFileDrop = [&](TDropDst*, gui::TStringList* files, int, int) {
        ++calls;
        throw gui::Exception(L"handler failed on " + files->Get(0));
    };
    shell_testing::ExpectedExceptions expected;
    HGLOBAL h = MakeHDrop({L"C:\\a.txt", L"C:\\b.txt", L"C:\\c.txt"}, {1, 1});
    ::SendMessageW(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(expected.Messages.size(), 1u);
    EXPECT_EQ(expected.Messages[0], L"handler failed on C:\\a.txt");
    EXPECT_TRUE(Finished(h));
    EXPECT_TRUE(::IsWindow(edit->Handle()));
}

TEST_F(DropTarget, FreeingTheComponentPutsTheWindowProcedureBack) {
    MakeDropDst(htControl);
    HGLOBAL h = MakeHDrop({L"C:\\a.txt"}, {1, 1});
    drop.reset();
    ::SendMessageW(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
    EXPECT_TRUE(drops.empty());
    EXPECT_FALSE(Finished(h)) << "nobody finished a drop it did not take";
    ::GlobalFree(h);
    // The edit still works as an edit.
    edit->SetText(L"still an edit");
    EXPECT_EQ(edit->Text(), L"still an edit");
}

TEST_F(DropTarget, FreeingTheTargetFirstLeavesTheComponentUnhooked) {
    MakeDropDst(htForm);
    form.reset();  // frees the edit and the form's window
    EXPECT_EQ(drop->HookedWindow(), nullptr);
    drop->SetAcceptDrop(false);  // nothing to apply it to, and nothing breaks
    drop.reset();
}

TEST(DropTargetWithoutForm, FormTargetWithoutAFormRaises) {
    EnsureApplication();
    TDropDst orphan(nullptr);
    try {
        orphan.SetTarget(htForm);
        FAIL() << "no exception";
    } catch (const gui::Exception& e) {
        EXPECT_EQ(gui::ExceptionMessage(e), L"フック先を特定できません。");
    }
    // With the control target nothing is hooked, and nothing is raised.
    TDropDst quiet(nullptr);
    quiet.SetTarget(htControl);
    EXPECT_EQ(quiet.HookedWindow(), nullptr);
}
