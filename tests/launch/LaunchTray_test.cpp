// The main form and the launcher: the launcher's tray icon stands exactly
// when the menu item is checked, the launcher opens at start when it was
// open at the last end, and the menu item shows and closes it.
#include <gtest/gtest.h>

#include "gui/IniFile.h"
#include "tests/tray/TrayFixture.h"

namespace {

class LauncherInTray : public TrayFormFixture, public testing::Test {
protected:
    std::string Config(bool launch) {
        return "[ProgramLaunch]\r\nDisp=" + std::string(launch ? "1" : "0") + "\r\n";
    }
    void LauncherWasOpen() {
        gui::TMemIniFile ini(dir / L"His.ini", gui::TTextEncoding::Utf16LE);
        ini.WriteBool(L"Launch", L"Visible", true);
        ASSERT_TRUE(ini.UpdateFile());
    }
};

TEST_F(LauncherInTray, UncheckedItemNoIconNoWindow) {
    LauncherWasOpen();
    const std::string config = Config(false);
    StartTray(&config);
    EXPECT_FALSE(LaunchForm->TrayIcon->Visible());
    EXPECT_FALSE(LaunchForm->Visible());
}

TEST_F(LauncherInTray, CheckedItemIconAndTheWindowAsItWas) {
    LauncherWasOpen();
    const std::string config = Config(true);
    StartTray(&config);
    EXPECT_TRUE(LaunchForm->TrayIcon->Visible());
    EXPECT_TRUE(LaunchForm->Visible()) << "it was open when the program last ended";

    // Unchecking closes it with its icon; checking brings the icon back, and
    // the window only when it was open.
    TrayForm->PPLaunch->Click();
    EXPECT_FALSE(TrayForm->PPLaunch->Checked());
    EXPECT_FALSE(LaunchForm->Visible());
    EXPECT_FALSE(LaunchForm->TrayIcon->Visible());
    EXPECT_FALSE(HisForm->Lists.Settings.FLaunchVisible);
    TrayForm->PPLaunch->Click();
    EXPECT_TRUE(LaunchForm->TrayIcon->Visible());
    EXPECT_FALSE(LaunchForm->Visible());

    // The hot key's toggle moves the menu's check mark along.
    LaunchForm->Proc_ToggleLauncher();
    EXPECT_TRUE(LaunchForm->Visible());
    EXPECT_TRUE(TrayForm->PPLaunch->Checked());
    LaunchForm->Proc_ToggleLauncher();
    EXPECT_FALSE(TrayForm->PPLaunch->Checked());
}

TEST_F(LauncherInTray, OpenLauncherIsRememberedOverARestart) {
    const std::string config = Config(true);
    StartTray(&config);
    EXPECT_FALSE(LaunchForm->Visible());
    LaunchForm->Show();
    TrayForm->CloseQuery();
    StopTray();
    StartTray();
    EXPECT_TRUE(LaunchForm->Visible());
}

}  // namespace
