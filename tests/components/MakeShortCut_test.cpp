#include <gtest/gtest.h>

#include <windows.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "components/MakeShortCut.h"
#include "components/MakeShortCuts.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/PrefixGuard.h"
#include "tests/support/TestSupport.h"
#include "tests/support/LinkFiles.h"

using testing_support::LinkContents;
using testing_support::ReadLink;
using testing_support::ScratchDir;
using testing_support::ShowCmdInFile;

namespace {

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A shortcut made by "another program", straight through the shell.
bool MakeLink(const std::wstring& file, const std::wstring& target, int showCmd,
              const std::wstring& workDir = L"", const std::wstring& iconFile = L"", int iconIndex = 0) {
    gui::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())))
        return false;
    link->SetPath(target.c_str());
    link->SetShowCmd(showCmd);
    if (!workDir.empty()) link->SetWorkingDirectory(workDir.c_str());
    if (!iconFile.empty()) link->SetIconLocation(iconFile.c_str(), iconIndex);
    auto pf = link.as<IPersistFile>(IID_IPersistFile);
    return pf && SUCCEEDED(pf->Save(file.c_str(), TRUE));
}

// This Wine's link object reads every show command back as 1, though it
// writes the right one into the file. While this scope lives, the process's
// CLSID_ShellLink objects are the real ones with GetShowCmd answered from the
// loaded file's header, as Windows answers it; everything else goes to the
// real object unchanged.
class HeaderShowCmdLink : public IShellLinkW, public IPersistFile {
public:
    explicit HeaderShowCmdLink(gui::ComPtr<IShellLinkW> inner)
        : inner_(std::move(inner)), innerFile_(inner_.as<IPersistFile>(IID_IPersistFile)) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IShellLinkW) {
            *out = static_cast<IShellLinkW*>(this);
        } else if (iid == IID_IPersistFile || iid == IID_IPersist) {
            *out = static_cast<IPersistFile*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // IShellLinkW
    STDMETHODIMP GetPath(LPWSTR f, int n, WIN32_FIND_DATAW* fd, DWORD fl) override { return inner_->GetPath(f, n, fd, fl); }
    STDMETHODIMP GetIDList(PIDLIST_ABSOLUTE* p) override { return inner_->GetIDList(p); }
    STDMETHODIMP SetIDList(PCIDLIST_ABSOLUTE p) override { return inner_->SetIDList(p); }
    STDMETHODIMP GetDescription(LPWSTR s, int n) override { return inner_->GetDescription(s, n); }
    STDMETHODIMP SetDescription(LPCWSTR s) override { return inner_->SetDescription(s); }
    STDMETHODIMP GetWorkingDirectory(LPWSTR s, int n) override { return inner_->GetWorkingDirectory(s, n); }
    STDMETHODIMP SetWorkingDirectory(LPCWSTR s) override { return inner_->SetWorkingDirectory(s); }
    STDMETHODIMP GetArguments(LPWSTR s, int n) override { return inner_->GetArguments(s, n); }
    STDMETHODIMP SetArguments(LPCWSTR s) override { return inner_->SetArguments(s); }
    STDMETHODIMP GetHotkey(WORD* k) override { return inner_->GetHotkey(k); }
    STDMETHODIMP SetHotkey(WORD k) override { return inner_->SetHotkey(k); }
    STDMETHODIMP GetShowCmd(int* cmd) override {
        if (headerShowCmd_ < 0) return inner_->GetShowCmd(cmd);
        *cmd = headerShowCmd_;
        return S_OK;
    }
    STDMETHODIMP SetShowCmd(int cmd) override { headerShowCmd_ = -1; return inner_->SetShowCmd(cmd); }
    STDMETHODIMP GetIconLocation(LPWSTR s, int n, int* i) override { return inner_->GetIconLocation(s, n, i); }
    STDMETHODIMP SetIconLocation(LPCWSTR s, int i) override { return inner_->SetIconLocation(s, i); }
    STDMETHODIMP SetRelativePath(LPCWSTR s, DWORD r) override { return inner_->SetRelativePath(s, r); }
    STDMETHODIMP Resolve(HWND w, DWORD f) override { return inner_->Resolve(w, f); }
    STDMETHODIMP SetPath(LPCWSTR s) override { return inner_->SetPath(s); }

    // IPersistFile
    STDMETHODIMP GetClassID(CLSID* id) override { return innerFile_->GetClassID(id); }
    STDMETHODIMP IsDirty() override { return innerFile_->IsDirty(); }
    STDMETHODIMP Load(LPCOLESTR file, DWORD mode) override {
        HRESULT hr = innerFile_->Load(file, mode);
        headerShowCmd_ = SUCCEEDED(hr) ? ShowCmdInFile(file) : -1;
        return hr;
    }
    STDMETHODIMP Save(LPCOLESTR file, BOOL remember) override { return innerFile_->Save(file, remember); }
    STDMETHODIMP SaveCompleted(LPCOLESTR file) override { return innerFile_->SaveCompleted(file); }
    STDMETHODIMP GetCurFile(LPOLESTR* file) override { return innerFile_->GetCurFile(file); }

private:
    virtual ~HeaderShowCmdLink() = default;
    std::atomic<ULONG> refs_{1};
    gui::ComPtr<IShellLinkW> inner_;
    gui::ComPtr<IPersistFile> innerFile_;
    int headerShowCmd_ = -1;
};

class HeaderShowCmdLinks : public IClassFactory {
public:
    HeaderShowCmdLinks() {
        ::CoGetClassObject(CLSID_ShellLink, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                           real_.put_void());
        if (real_)
            ::CoRegisterClassObject(CLSID_ShellLink, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie_);
    }
    ~HeaderShowCmdLinks() {
        if (cookie_) ::CoRevokeClassObject(cookie_);
    }
    bool Registered() const { return cookie_ != 0; }
    int Made() const { return made_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        gui::ComPtr<IShellLinkW> inner;
        HRESULT hr = real_->CreateInstance(nullptr, IID_IShellLinkW, inner.put_void());
        if (FAILED(hr)) return hr;
        auto* link = new HeaderShowCmdLink(std::move(inner));
        hr = link->QueryInterface(iid, out);
        static_cast<IShellLinkW*>(link)->Release();
        if (SUCCEEDED(hr)) ++made_;
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    gui::ComPtr<IClassFactory> real_;
    DWORD cookie_ = 0;
    int made_ = 0;
};

// A registry value naming a shell folder, pointed elsewhere for a test and
// put back afterwards (also after a killed run).
class ShellFolderValue {
public:
    ShellFolderValue(const wchar_t* key, const wchar_t* name)
        : name_(name), keep_(HKEY_CURRENT_USER, Path(key), name) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, Path(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(),
                          nullptr);
    }
    void Set(const std::wstring& value, DWORD type = REG_SZ) {
        ::RegSetValueExW(key_.get(), name_, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    void Remove() { ::RegDeleteValueW(key_.get(), name_); }

private:
    static std::wstring Path(const wchar_t* key) {
        return std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + key;
    }
    const wchar_t* name_;
    testing_support::RegValueRestore keep_;
    gui::RegKey key_;
};

class ShortCutFiles : public testing::Test {
protected:
    gui::ComScope com_;
    ScratchDir dir_;
};

TEST_F(ShortCutFiles, WriteEveryFieldAndReadItBack) {
    ASSERT_TRUE(com_.ok());
    const std::wstring target = dir_ / L"対象 プログラム.exe";
    ASSERT_TRUE(testing_support::WriteBytes(target, "MZ"));
    struct Case {
        TShowMode mode;
        int showCmd;
    };
    for (Case c : {Case{tsNormal, SW_SHOWNORMAL}, Case{tsMax, SW_SHOWMAXIMIZED},
                   Case{tsMin, SW_SHOWMINNOACTIVE}}) {
        SCOPED_TRACE(c.showCmd);
        TMakeShortCuts sc(nullptr);
        sc.SCFileName = dir_ / (L"リンク" + std::to_wstring(c.showCmd) + L".lnk");
        sc.SCShowCmd = c.mode;
        sc.SCDescription = L"常駐ユーティリティの説明";
        sc.SCExecFile = target;
        sc.SCArguments = L"/x \"C:\\a b\\c.txt\"";
        sc.SCWorkDir = dir_.Path();
        sc.SCIconFile = L"C:\\windows\\system32\\shell32.dll";
        sc.SCIconIdx = 12;
        sc.SCSave();

        EXPECT_EQ(sc.GetSaveName(), sc.SCFileName) << "tpBlank: the file name is the full path";
        EXPECT_EQ(ShowCmdInFile(sc.SCFileName), c.showCmd);
        LinkContents raw = ReadLink(sc.SCFileName);
        ASSERT_TRUE(raw.loaded);
        EXPECT_EQ(raw.description, sc.SCDescription);
        EXPECT_EQ(::_wcsicmp(raw.path.c_str(), target.c_str()), 0) << raw.path;
        EXPECT_EQ(raw.arguments, sc.SCArguments);
        EXPECT_EQ(raw.workDir, sc.SCWorkDir);
        EXPECT_EQ(raw.iconFile, sc.SCIconFile);
        EXPECT_EQ(raw.iconIndex, 12);

        HeaderShowCmdLinks links;
        ASSERT_TRUE(links.Registered());
        TMakeShortCuts back(nullptr);
        back.SCFileName = sc.SCFileName;
        back.SCShowCmd = c.mode == tsMax ? tsMin : tsMax;  // must be overwritten
        back.SCLoad();
        EXPECT_GT(links.Made(), 0) << "the load went through the shell's link object";
        EXPECT_EQ(back.SCShowCmd, c.mode);
        EXPECT_EQ(back.SCDescription, sc.SCDescription);
        EXPECT_EQ(::_wcsicmp(back.SCExecFile.c_str(), target.c_str()), 0) << back.SCExecFile;
        EXPECT_EQ(back.SCArguments, sc.SCArguments);
        EXPECT_EQ(back.SCWorkDir, sc.SCWorkDir);
        EXPECT_EQ(back.SCIconFile, sc.SCIconFile);
        EXPECT_EQ(back.SCIconIdx, 12);
    }
}

TEST_F(ShortCutFiles, FirstVersionKeepsNoIconLocation) {
    ASSERT_TRUE(com_.ok());
    const std::wstring withIcon = dir_ / L"icon.lnk";
    ASSERT_TRUE(MakeLink(withIcon, L"C:\\windows\\notepad.exe", SW_SHOWMAXIMIZED, L"C:\\windows",
                         L"C:\\windows\\system32\\shell32.dll", 3));

    HeaderShowCmdLinks links;
    TMakeShortCut sc(nullptr);
    sc.SCFileName = withIcon;
    sc.SCLoad();
    EXPECT_EQ(sc.SCShowCmd, tsMax);
    EXPECT_EQ(::_wcsicmp(sc.SCExecFile.c_str(), L"C:\\windows\\notepad.exe"), 0) << sc.SCExecFile;
    EXPECT_EQ(sc.SCWorkDir, L"C:\\windows");

    sc.SCFileName = dir_ / L"copy.lnk";
    sc.SCSave();
    LinkContents raw = ReadLink(sc.SCFileName);
    ASSERT_TRUE(raw.loaded);
    EXPECT_EQ(::_wcsicmp(raw.path.c_str(), L"C:\\windows\\notepad.exe"), 0) << raw.path;
    EXPECT_EQ(raw.iconFile, L"") << "the first version writes no icon location";
    EXPECT_EQ(ShowCmdInFile(sc.SCFileName), SW_SHOWMAXIMIZED);
}

TEST_F(ShortCutFiles, ShowCommandsOfShortcutsMadeElsewhere) {
    ASSERT_TRUE(com_.ok());
    HeaderShowCmdLinks links;
    ASSERT_TRUE(links.Registered());
    struct Case {
        int showCmd;
        TShowMode expected;
    };
    for (Case c : {Case{SW_SHOWMINNOACTIVE, tsMin}, Case{SW_SHOWMAXIMIZED, tsMax},
                   Case{SW_SHOWNORMAL, tsNormal}}) {
        SCOPED_TRACE(c.showCmd);
        std::wstring file = dir_ / (std::to_wstring(c.showCmd) + L".lnk");
        ASSERT_TRUE(MakeLink(file, L"C:\\windows\\notepad.exe", c.showCmd));
        ASSERT_EQ(ShowCmdInFile(file), c.showCmd);
        TMakeShortCuts sc(nullptr);
        sc.SCFileName = file;
        sc.SCShowCmd = c.expected == tsNormal ? tsMin : tsNormal;
        sc.SCLoad();
        EXPECT_EQ(sc.SCShowCmd, c.expected);
    }
}

TEST_F(ShortCutFiles, UnexpectedShowCommandIsReportedAndLoadingGoesOn) {
    ASSERT_TRUE(com_.ok());
    const std::wstring file = dir_ / L"minimised.lnk";
    ASSERT_TRUE(MakeLink(file, L"C:\\windows\\notepad.exe", SW_SHOWMINIMIZED, L"C:\\windows\\temp",
                         L"C:\\windows\\notepad.exe", 0));
    ASSERT_EQ(ShowCmdInFile(file), SW_SHOWMINIMIZED);

    HeaderShowCmdLinks links;
    TMakeShortCuts sc(nullptr);
    sc.SCFileName = file;
    sc.SCShowCmd = tsMax;
    {
        testing_support::MessageBoxAnswerer answer(IDOK);
        sc.SCLoad();
        EXPECT_EQ(answer.Texts(), std::vector<std::wstring>{L"Error:致命的エラー(Load)"});
    }
    EXPECT_EQ(sc.SCShowCmd, tsMax) << "left as it was";
    EXPECT_EQ(sc.SCWorkDir, L"C:\\windows\\temp") << "read after the show command";
    EXPECT_EQ(sc.SCIconFile, L"C:\\windows\\notepad.exe");
}

TEST_F(ShortCutFiles, LongTargetComesBackCutTo254Characters) {
    ASSERT_TRUE(com_.ok());
    std::wstring target = L"C:\\";
    while (target.size() < 230) target += L"長いフォルダー名\\";
    // Longer than the buffer, short enough for the file to hold it whole.
    target += std::wstring(258 - 4 - target.size(), L'x') + L".exe";
    ASSERT_EQ(target.size(), 258u);
    const std::wstring file = dir_ / L"long.lnk";
    ASSERT_TRUE(MakeLink(file, target, SW_SHOWNORMAL));
    LinkContents raw = ReadLink(file);
    ASSERT_EQ(raw.path, target) << "the file holds the whole target";

    TMakeShortCuts sc(nullptr);
    sc.SCFileName = file;
    sc.SCLoad();
    EXPECT_EQ(sc.SCExecFile, target.substr(0, 254));
}

TEST_F(ShortCutFiles, EachLoadReplacesEveryField) {
    ASSERT_TRUE(com_.ok());
    TMakeShortCuts sc(nullptr);
    sc.SCFileName = dir_ / L"long.lnk";
    sc.SCDescription = L"とても長い説明文がここに入ります、とても長い説明文がここに入ります";
    sc.SCExecFile = L"C:\\windows\\system32\\notepad.exe";
    sc.SCArguments = L"--one --two --three --four";
    sc.SCWorkDir = L"C:\\windows\\system32";
    sc.SCIconFile = L"C:\\windows\\system32\\shell32.dll";
    sc.SCIconIdx = 7;
    sc.SCSave();

    TMakeShortCuts shortOne(nullptr);
    shortOne.SCFileName = dir_ / L"short.lnk";
    shortOne.SCDescription = L"短";
    shortOne.SCExecFile = L"C:\\a.exe";
    shortOne.SCSave();
    ASSERT_EQ(ShowCmdInFile(shortOne.SCFileName), SW_SHOWNORMAL);

    TMakeShortCuts reader(nullptr);
    reader.SCFileName = sc.SCFileName;
    reader.SCLoad();
    ASSERT_EQ(reader.SCArguments, sc.SCArguments);
    ASSERT_EQ(reader.SCIconIdx, 7);

    reader.SCFileName = shortOne.SCFileName;
    reader.SCLoad();
    EXPECT_EQ(reader.SCDescription, L"短");
    EXPECT_EQ(::_wcsicmp(reader.SCExecFile.c_str(), L"C:\\a.exe"), 0) << reader.SCExecFile;
    EXPECT_EQ(reader.SCArguments, L"");
    EXPECT_EQ(reader.SCWorkDir, L"");
    EXPECT_EQ(reader.SCIconFile, L"");
    EXPECT_EQ(reader.SCIconIdx, 0);

    // A file that is missing or is no shortcut: everything empty, shown normally.
    ASSERT_TRUE(testing_support::WriteBytes(dir_ / L"text.lnk", "not a shortcut at all"));
    for (const wchar_t* name : {L"missing.lnk", L"text.lnk"}) {
        SCOPED_TRACE(name);
        reader.SCFileName = sc.SCFileName;
        reader.SCLoad();
        reader.SCShowCmd = tsMin;
        reader.SCFileName = dir_ / name;
        reader.SCLoad();
        EXPECT_EQ(reader.SCDescription, L"");
        EXPECT_EQ(reader.SCExecFile, L"");
        EXPECT_EQ(reader.SCArguments, L"");
        EXPECT_EQ(reader.SCWorkDir, L"");
        EXPECT_EQ(reader.SCIconFile, L"");
        EXPECT_EQ(reader.SCIconIdx, 0);
        EXPECT_EQ(reader.SCShowCmd, tsNormal);
    }
}

TEST_F(ShortCutFiles, SaveReplacesAndAFailedSaveLeavesNoFile) {
    ASSERT_TRUE(com_.ok());
    TMakeShortCut sc(nullptr);
    sc.SCFileName = dir_ / L"again.lnk";
    sc.SCExecFile = L"C:\\windows\\notepad.exe";
    sc.SCDescription = L"一回目";
    sc.SCShowCmd = tsMin;
    sc.SCSave();
    sc.SCExecFile = L"C:\\windows\\regedit.exe";
    sc.SCDescription = L"二回目";
    sc.SCShowCmd = tsNormal;
    sc.SCSave();
    LinkContents raw = ReadLink(sc.SCFileName);
    EXPECT_EQ(raw.description, L"二回目");
    EXPECT_EQ(::_wcsicmp(raw.path.c_str(), L"C:\\windows\\regedit.exe"), 0) << raw.path;
    EXPECT_EQ(ShowCmdInFile(sc.SCFileName), SW_SHOWNORMAL);

    sc.SCFileName = dir_ / L"no such folder\\x.lnk";
    sc.SCSave();
    EXPECT_FALSE(FileExists(sc.SCFileName));
}

TEST_F(ShortCutFiles, BaseFoldersFromTheRegistry) {
    ASSERT_TRUE(com_.ok());
    struct Case {
        TSysPath base;
        const wchar_t* value;
    };
    for (Case c : {Case{tpDesktop, L"Desktop"}, Case{tpStartMenu, L"Start Menu"}}) {
        SCOPED_TRACE(c.value);
        ScratchDir folder;
        std::wstring folderPath = folder.Path().substr(0, folder.Path().size() - 1);
        // The shell writes "Shell Folders" afresh from "User Shell Folders"
        // whenever it looks a folder up, so both name the scratch folder.
        ShellFolderValue user(L"User Shell Folders", c.value);
        ShellFolderValue value(L"Shell Folders", c.value);
        user.Set(folderPath);
        value.Set(folderPath);

        TMakeShortCuts sc(nullptr);
        sc.SCSystemPath = c.base;
        sc.SCFileName = L"メモ帳.lnk";
        sc.SCExecFile = L"C:\\windows\\notepad.exe";
        EXPECT_EQ(sc.GetSaveName(), folder / L"メモ帳.lnk");
        EXPECT_EQ(sc.GetLoadName(), folder / L"メモ帳.lnk");
        sc.SCSave();
        EXPECT_TRUE(FileExists(folder / L"メモ帳.lnk"));

        TMakeShortCuts back(nullptr);
        back.SCSystemPath = c.base;
        back.SCFileName = L"メモ帳.lnk";
        back.SCLoad();
        EXPECT_EQ(::_wcsicmp(back.SCExecFile.c_str(), L"C:\\windows\\notepad.exe"), 0)
            << gui::WideToUtf8(back.SCExecFile);

        // No folder named: nothing goes to the root of the current drive.
        value.Remove();
        EXPECT_EQ(sc.GetSaveName(), L"");
        sc.SCFileName = L"orv-root-test.lnk";
        sc.SCSave();
        EXPECT_FALSE(FileExists(L"\\orv-root-test.lnk"));
    }
}

}  // namespace
