// Options of the shell context menu and the fixed commands it can carry out
// without showing the menu.
#pragma once

#include <set>

enum TcmQueryFlag {
    qfCanRename, qfDefaultOnly, qfExplore, qfExtendedVerbs, qfIncludeStatic,
    qfNoDefault, qfNormal, qfNoVerbs, qfVerbsOnly
};
using TcmQueryFlags = std::set<TcmQueryFlag>;

enum TcmCmdType { ctLink, ctDelete, ctProperties, ctCut, ctCopy, ctPaste };
