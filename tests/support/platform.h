#pragma once

#include <QtGlobal>

// For a GUI suite's initMain(): run directly, it draws off screen as under ctest,
// unless a platform is named. Under Wine the Windows platform draws into Wine's display.
inline void drawOffscreenUnlessNamed()
{
#ifndef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}
