#include "commandline.h"
#include "frmmain.h"
#include "platformstartup.h"
#include "programinfo.h"

#include <QApplication>
#include <algorithm>

int main(int argc, char *argv[])
{
    // Help, the version and mistakes are answered before Qt looks for a display.
    const vusk::CommandLine commandLine = vusk::readCommandLine(argc, argv);
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    // The arguments are all VUSK's own: Qt gets none of them to interpret.
    int qtArgc = std::min(argc, 1);
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(vusk::applicationTitle());
    // Wayland compositors find the window's icon through the desktop entry's name.
    QGuiApplication::setDesktopFileName(QLatin1String(vusk::applicationId));
    vusk::installQtTranslations();

    vusk::frmMain window;
    window.show();
    window.openFiles(commandLine.files);
    return app.exec();
}
