#include "frmmain.h"
#include "platformstartup.h"
#include "programinfo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(vusk::applicationTitle());
    // Wayland compositors find the window's icon through the desktop entry's name.
    QGuiApplication::setDesktopFileName(QLatin1String(vusk::applicationId));
    vusk::installQtTranslations();

    vusk::frmMain window;
    window.show();
    return app.exec();
}
