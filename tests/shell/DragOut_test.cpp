// Dragging files out: TDropSourceEx runs the real OLE drag loop, driven by
// synthesized mouse input, onto a drop target of the test's own window.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "components/DROPCOMEX.h"
#include "gui/Callback.h"
#include "gui/Form.h"
#include "gui/Handles.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/TestSupport.h"

using testing_support::ScratchDir;
using testing_support::WaitUntil;

namespace {

class PlainForm : public gui::TForm {
public:
    PlainForm(const wchar_t* cls, int x) : gui::TForm(nullptr, cls) {
        BorderStyle = gui::TFormBorderStyle::bsNone;
        CreationLeft = x;
        CreationTop = 100;
        CreationWidth = 240;
        CreationHeight = 200;
    }
};

// The test's own drop target: counts what the drag loop tells it and keeps
// the dropped names.
class RecordingTarget : public IDropTarget {
public:
    std::atomic<int> enters{0}, overs{0}, leaves{0}, drops{0};
    std::atomic<DWORD> allowed{0};
    std::vector<std::wstring> files;  // written on the GUI thread, read after the drag

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // owned by the test
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        ++enters;
        allowed = *effect;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        ++overs;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        ++leaves;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        return gui::GuardCallback(E_UNEXPECTED, [&]() -> HRESULT {
            FORMATETC fmt{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
            STGMEDIUM medium{};
            if (SUCCEEDED(data->GetData(&fmt, &medium))) {
                auto drop = static_cast<HDROP>(medium.hGlobal);
                const UINT n = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
                for (UINT i = 0; i < n; ++i) {
                    wchar_t name[MAX_PATH] = {};
                    ::DragQueryFileW(drop, i, name, MAX_PATH);
                    files.push_back(name);
                }
                ::ReleaseStgMedium(&medium);
            }
            *effect &= DROPEFFECT_COPY;
            ++drops;
            return S_OK;
        });
    }

private:
    std::atomic<ULONG> refs_{1};
};

void Mouse(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof(in));
}

POINT Centre(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool Down(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

enum class Ending { ReleaseButton, Escape };

// The hand on the mouse: moves the cursor over to the target until the drag
// loop reports it there, then ends the drag.
struct Hand {
    POINT from, to;
    DWORD upFlag;
    Ending ending;
    RecordingTarget* target;
    std::atomic<bool> done{false};

    static DWORD WINAPI Run(void* p) {
        auto* h = static_cast<Hand*>(p);
        const DWORD deadline = ::GetTickCount() + 20000;
        for (int step = 0; ::GetTickCount() < deadline; ++step) {
            const int k = step < 10 ? step : 10;  // ten steps across, then stay
            POINT at{h->from.x + (h->to.x - h->from.x) * k / 10 + (step & 1),
                     h->from.y + (h->to.y - h->from.y) * k / 10};
            Mouse(0, at);
            if (h->target->overs >= 3) break;
            ::Sleep(50);  // the pace of the moves; the loop ends on the target's report
        }
        if (h->ending == Ending::Escape) {
            Key(VK_ESCAPE, false);
            const DWORD until = ::GetTickCount() + 10000;
            while (h->target->leaves == 0 && ::GetTickCount() < until)
                ::Sleep(20);
            Key(VK_ESCAPE, true);
        }
        Mouse(h->upFlag, h->to);
        h->done = true;
        return 0;
    }
};

class DragOut : public ::testing::Test {
protected:
    void SetUp() override {
        shell_testing::EnsureApplication();
        source = std::make_unique<PlainForm>(L"TOrvDragSourceForm", 100);
        source->Initialize();
        source->Show();
        sink = std::make_unique<PlainForm>(L"TOrvDragSinkForm", 600);
        sink->Initialize();
        sink->Show();
        ASSERT_EQ(::RegisterDragDrop(sink->Handle(), &target), S_OK);
        ::CreateDirectoryW((dir / L"sub").c_str(), nullptr);
        for (const wchar_t* name : {L"one.txt", L"two.txt", L"sub\\two.txt", L"sub\\three.txt"})
            ASSERT_TRUE(testing_support::WriteBytes(dir / name, "drag me"));
        drag = std::make_unique<TDropSourceEx>(nullptr);
        testing_support::PumpMessages(100);
    }
    void TearDown() override {
        ::RevokeDragDrop(sink->Handle());
        // Never leave a button or key held for the next test.
        if (Down(VK_LBUTTON)) Mouse(MOUSEEVENTF_LEFTUP, Centre(sink->Handle()));
        if (Down(VK_RBUTTON)) Mouse(MOUSEEVENTF_RIGHTUP, Centre(sink->Handle()));
        if (Down(VK_ESCAPE)) Key(VK_ESCAPE, true);
    }

    // Presses the button over the source, drags with a hand on another thread.
    void RunDrag(DWORD downFlag, DWORD upFlag, int vk, Ending ending, const std::vector<std::wstring>& files) {
        gui::TStringList list;
        for (const auto& f : files) list.Add(f);
        drag->SetFiles(&list);
        const POINT from = Centre(source->Handle());
        Mouse(0, from);
        Mouse(downFlag, from);
        // The drag loop reads this thread's key state, which follows the
        // input messages this thread has taken from its queue.
        ASSERT_TRUE(WaitUntil([&] { return (::GetKeyState(vk) & 0x8000) != 0; }, 10000))
            << "the button is down";
        Hand hand{from, Centre(sink->Handle()), upFlag, ending, &target};
        gui::Handle thread(::CreateThread(nullptr, 0, Hand::Run, &hand, 0, nullptr));
        ASSERT_TRUE(thread);
        drag->DoDropEx(source->Handle());
        ASSERT_TRUE(WaitUntil([&] { return hand.done.load(); }, 30000));
        ::WaitForSingleObject(thread.get(), 10000);
    }

    ScratchDir dir;
    std::unique_ptr<PlainForm> source, sink;
    RecordingTarget target;
    std::unique_ptr<TDropSourceEx> drag;
};

}  // namespace

TEST_F(DragOut, TwoFilesDraggedWithTheLeftButtonAreDroppedOnTheTarget) {
    const std::vector<std::wstring> files{dir / L"two.txt", dir / L"one.txt"};
    RunDrag(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, VK_LBUTTON, Ending::ReleaseButton, files);
    EXPECT_GE(target.enters.load(), 1);
    EXPECT_EQ(target.allowed.load(), DWORD{DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK});
    ASSERT_EQ(target.drops.load(), 1);
    ASSERT_EQ(target.files.size(), 2u);
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(_wcsicmp(target.files[i].c_str(), files[i].c_str()), 0);
}

TEST_F(DragOut, ADragWithTheRightButtonDropsWhenThatButtonIsReleased) {
    RunDrag(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, VK_RBUTTON, Ending::ReleaseButton, {dir / L"one.txt"});
    ASSERT_EQ(target.drops.load(), 1);
    ASSERT_EQ(target.files.size(), 1u);
    EXPECT_EQ(_wcsicmp(target.files[0].c_str(), (dir / L"one.txt").c_str()), 0);
}

TEST_F(DragOut, EscapeCancelsTheDrag) {
    RunDrag(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, VK_LBUTTON, Ending::Escape, {dir / L"one.txt"});
    EXPECT_GE(target.enters.load(), 1);
    EXPECT_GE(target.leaves.load(), 1);
    EXPECT_EQ(target.drops.load(), 0);
}

TEST_F(DragOut, FilesOfTwoFoldersOrMissingFilesStartNoDrag) {
    // The cursor rests on the target: a drag started by mistake would drop there at once.
    Mouse(0, Centre(sink->Handle()));
    testing_support::PumpMessages(100);
    const std::vector<std::vector<std::wstring>> refused{
        {dir / L"one.txt", dir / L"sub\\three.txt"},
        {dir / L"one.txt", dir / L"sub\\two.txt"},  // two.txt of the first folder must not go instead
        {dir / L"missing.txt"},
        {L"C:\\", dir / L"one.txt"},  // a drive root is dragged only alone
        {},
    };
    for (const auto& files : refused) {
        gui::TStringList list;
        for (const auto& f : files) list.Add(f);
        drag->SetFiles(&list);
        drag->DoDropEx(source->Handle());
        testing_support::PumpMessages(50);
    }
    drag->DoDrop(nullptr, dir / L"one.txt");
    EXPECT_EQ(target.enters.load(), 0);
    EXPECT_EQ(target.drops.load(), 0);
}
