#include "apptitle.h"
#include "frmmain.h"
#include "platformstartup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(vusk::applicationTitle());
    vusk::installQtTranslations();

    vusk::frmMain window;
    window.show();
    return app.exec();
}
