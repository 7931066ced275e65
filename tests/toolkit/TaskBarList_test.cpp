#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/TaskBarList.h"

namespace {

// Records the calls; Wine's taskbar list accepts them but shows nothing
// that a test could read back.
class RecordingTaskbarList : public ITaskbarList {
public:
    std::vector<std::string> calls;
    std::vector<HWND> windows;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_ITaskbarList) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE HrInit() override { calls.push_back("init"); return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND w) override { return Log("add", w); }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND w) override { return Log("delete", w); }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND w) override { return Log("activate", w); }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND w) override { return Log("alt", w); }
    ULONG refs = 1;

private:
    HRESULT Log(const char* what, HWND w) {
        calls.push_back(what);
        windows.push_back(w);
        return S_OK;
    }
};

HWND W(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); }

TEST(TaskBarList, RealObjectIsCreatedAndReleased) {
    gui::ComScope com;
    TaskBarInit();
    ASSERT_TRUE(TaskBarIntf);
    EXPECT_FALSE(TaskBarTabAdded);
    TaskBarFree();
    EXPECT_FALSE(TaskBarIntf);
}

TEST(TaskBarList, OneButtonAtATime) {
    RecordingTaskbarList rec;
    rec.AddRef();
    TaskBarIntf = gui::ComPtr<ITaskbarList>(&rec);
    TaskBarTabAdded = false;

    TaskBarAddTab(W(1));
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"init", "add", "activate"}));
    EXPECT_EQ(rec.windows, (std::vector<HWND>{W(1), W(1)}));

    rec.calls.clear();
    TaskBarAddTab(W(2));
    EXPECT_TRUE(rec.calls.empty()) << "a second window gets no button while one stands";

    TaskBarDeleteTab(W(1));
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"init", "delete"}));
    rec.calls.clear();
    TaskBarAddTab(W(2));
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"init", "add", "activate"}));

    TaskBarFree();
    EXPECT_EQ(rec.refs, 1u) << "the interface is released";
    rec.calls.clear();
    TaskBarAddTab(W(3));
    TaskBarDeleteTab(W(3));
    EXPECT_TRUE(rec.calls.empty()) << "nothing happens after TaskBarFree";
}

}  // namespace
