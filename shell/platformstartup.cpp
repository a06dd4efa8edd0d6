#include "platformstartup.h"

#ifdef Q_OS_WIN
#include <commctrl.h>
#include <qt_windows.h>
#endif

#include <QtGlobal>

namespace vusk {

void initCommonControls()
{
#ifdef Q_OS_WIN
    InitCommonControls();
#endif
}

} // namespace vusk
