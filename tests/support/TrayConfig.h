// The "Config.ini" a first start writes, byte for byte.
#pragma once

#include <string>

namespace testing_support {

inline std::string DefaultConfigIni(int fontSize) {
    return "[Tray]\r\nTrashTop=0\r\nTrashCheck=0\r\nIMEHint=0\r\nIMEIconColor=0\r\nPPIMEEnable=0\r\n"
           "IME=0\r\nIMEWave=0\r\nStartDelay=0\r\nFontSize=" + std::to_string(fontSize) +
           "\r\nFav=1\r\nIcon=0\r\nWide=0\r\nNarrow=0\r\n\r\n"
           "[CPU]\r\nStop=0\r\nDisp=0\r\nTime=0\r\n\r\n"
           "[RAM]\r\nStop=0\r\n\r\n"
           "[History]\r\nStop=0\r\n\r\n"
           "[Button]\r\nStop=0\r\nCursor=1\r\nCaret=1\r\n\r\n"
           "[ProgramLaunch]\r\nDisp=0\r\n\r\n"
           "[Panel]\r\nTray/Panel=0\r\n\r\n";
}

}  // namespace testing_support
