// What the launcher tests share: the application with the history window,
// the launcher and the options dialog made as the program makes them, with
// the settings folder in a scratch folder; acting inside a modal loop; and
// the record a started OrvRecorder leaves.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/Globals.h"
#include "app/history/ExeCmd.h"
#include "app/history/His.h"
#include "app/history/Launch.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Timer.h"
#include "tests/support/TestSupport.h"

namespace launch_testing {

class LaunchRun {
public:
    // The forms are made in the program's order; the lists are the history
    // window's, loaded from the folder's files.
    explicit LaunchRun(bool withHistory = true) {
        app_.Initialize();
        if (withHistory) app_.CreateForm(HisForm);
        app_.CreateForm(LaunchForm);
        app_.CreateForm(ExeCmdForm);
    }
    ~LaunchRun() {
        app_.DestroyForms();
        HisForm = nullptr;
        LaunchForm = nullptr;
        ExeCmdForm = nullptr;
    }
    gui::TApplication& App() { return app_; }

private:
    gui::TApplication app_;
};

// Runs `act` once from a timer, so it runs inside the modal loop that
// `modal` enters; `act` ends the loop (a button press) itself.
inline int InModal(const std::function<int()>& modal, const std::function<void()>& act) {
    gui::TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](gui::TTimer* t) {
        t->SetEnabled(false);
        act();
    };
    timer.SetEnabled(true);
    return modal();
}

// A button pressed as a click does it: the control's own BM_CLICK.
inline void Press(gui::TWinControl* button) { ::SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

// A pick from the options drop-down, as the box reports it.
inline void Pick(gui::TComboBox* box, int index) {
    box->SetItemIndex(index);
    ::SendMessageW(::GetParent(box->Handle()), WM_COMMAND, MAKEWPARAM(box->ControlId(), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(box->Handle()));
}

// Text typed into the options drop-down.
inline void Type(gui::TComboBox* box, const std::wstring& text) {
    box->SetText(text);
    ::SendMessageW(::GetParent(box->Handle()), WM_COMMAND, MAKEWPARAM(box->ControlId(), CBN_EDITCHANGE),
                   reinterpret_cast<LPARAM>(box->Handle()));
}

// The job this test process joins once, for its whole life: every program
// it starts joins it too, so the job counts them from the moment they are made
// until they have ended.
class StartJob {
public:
    // Programs made in the job so far (this process among them); -1 when
    // they cannot be counted.
    static long Total() {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        return Query(info) ? static_cast<long>(info.TotalProcesses) : -1;
    }
    // Programs of the job still running, this process among them.
    static long Active() {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        return Query(info) ? static_cast<long>(info.ActiveProcesses) : -1;
    }

private:
    static bool Query(JOBOBJECT_BASIC_ACCOUNTING_INFORMATION& info) {
        static HANDLE job = [] {
            HANDLE j = ::CreateJobObjectW(nullptr, nullptr);
            if (j && !::AssignProcessToJobObject(j, ::GetCurrentProcess())) {
                ::CloseHandle(j);
                j = nullptr;
            }
            return j;
        }();
        return job && ::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info),
                                                  nullptr);
    }
};

// The file OrvRecorder writes its command line and folder into while this
// object lives (through the environment the started programs inherit).
class RecorderFile {
public:
    explicit RecorderFile(const std::wstring& path) : path_(path) {
        StartJob::Total();  // the recorder started later joins the job
        ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", path.c_str());
    }
    ~RecorderFile() { ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", nullptr); }
    // The two recorded lines, once the file has them and every program this
    // process started has ended: a console program's window, made and taken
    // down by the system after the record is written, would otherwise take
    // the front from the next window the test opens.
    bool Wait(std::wstring& cmdLine, std::wstring& folder, DWORD ms = 20000) const {
        std::string bytes;
        bool done = testing_support::WaitUntil(
            [&] {
                bytes = testing_support::ReadBytes(path_);
                size_t first = bytes.find('\n');
                return first != std::string::npos && bytes.find('\n', first + 1) != std::string::npos;
            },
            ms);
        if (!done) return false;
        if (!testing_support::WaitUntil([] { return StartJob::Active() == 1; }, ms)) return false;
        size_t first = bytes.find('\n');
        cmdLine = gui::Utf8ToWide(bytes.substr(0, first));
        folder = gui::Utf8ToWide(bytes.substr(first + 1, bytes.find('\n', first + 1) - first - 1));
        return true;
    }

private:
    std::wstring path_;
};

// Counts the programs this test process starts from the moment it is made.
class StartedPrograms {
public:
    StartedPrograms() : base_(StartJob::Total()) {}
    // Programs started since this object was made; -1 when they cannot be counted.
    long Count() const {
        const long now = StartJob::Total();
        return now < 0 || base_ < 0 ? -1 : now - base_;
    }

private:
    long base_;
};

inline std::wstring Helper(const wchar_t* name) { return testing_support::BinDir() + name + L".exe"; }

}  // namespace launch_testing
