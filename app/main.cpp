#include "frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VUSK"));

    vusk::frmMain window;
    window.show();
    return app.exec();
}
