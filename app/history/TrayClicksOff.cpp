#include "app/history/TrayClicksOff.h"

#include "app/Tray.h"
#include "app/monitors/RAM.h"

void TrayClicksOff::Set(bool enabled) {
    if (TrayForm && TrayForm->TrayIcon) TrayForm->TrayIcon->SetEnabled(enabled);
    if (RAMForm && RAMForm->TrayIcon) RAMForm->TrayIcon->SetEnabled(enabled);
}
