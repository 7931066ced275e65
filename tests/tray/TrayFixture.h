// The main form created in the test process, with its settings folder in a
// scratch folder, and every form it creates freed again at the end.
#pragma once

#include <memory>
#include <string>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/AdrJump.h"
#include "app/history/ExeCmd.h"
#include "app/history/His.h"
#include "app/history/Launch.h"
#include "app/monitors/Btn.h"
#include "app/monitors/Drive.h"
#include "app/monitors/IMEExe.h"
#include "app/monitors/IMEIcon.h"
#include "app/monitors/Panel.h"
#include "app/monitors/RAM.h"
#include "app/monitors/SPDir.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/Named.h"
#include "tests/support/TestSupport.h"

class TrayFormFixture {
public:
    gui::ComScope com{/*ole=*/true};  // as the program entry does
    testing_support::ScratchDir dir;
    std::unique_ptr<gui::TApplication> app;

    void StartTray(const std::string* configIni = nullptr) {
        DataFolder = dir.Path();
        if (configIni) testing_support::WriteBytes(dir / L"Config.ini", *configIni);
        app = std::make_unique<gui::TApplication>();
        app->Initialize();
        app->SetTitle(L"Orvandel");
        app->ShowMainForm = false;
        app->CreateForm(TrayForm);
    }

    void StopTray() {
        app.reset();
        TrayForm = nullptr;
        PanelForm = nullptr;
        RAMForm = nullptr;
        HisForm = nullptr;
        LaunchForm = nullptr;
        BtnForm = nullptr;
        DriveForm = nullptr;
        IMEIconForm = nullptr;
        ExeCmdForm = nullptr;
        SPDirForm = nullptr;
        IMEExeForm = nullptr;
        AdrJumpForm = nullptr;
    }

    ~TrayFormFixture() { StopTray(); }
};

// The main form's component of that name and kind; the case fails when
// there is none.
template <class T>
T* TrayComponent(const wchar_t* name) {
    return testing_support::Named<T>(*TrayForm, name);
}

inline gui::TMenuItem* TrayItem(const wchar_t* name) { return TrayComponent<gui::TMenuItem>(name); }
