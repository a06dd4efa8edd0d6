#include "frmmain.h"

#include <QScreen>
#include <QTest>

// The window is centred by what the user works in, its client area: centring
// the frame's corner would push the client a title bar down on Windows.
class TestMainWindowCentre : public QObject
{
    Q_OBJECT

private slots:
    void clientAreaCentredOnScreen();
};

void TestMainWindowCentre::clientAreaCentredOnScreen()
{
    vusk::frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QPoint centre = window.screen()->availableGeometry().center();
    const QPoint client = window.mapToGlobal(window.rect().center());
    QTRY_VERIFY2((client - centre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(client.x()).arg(client.y())));
}

QTEST_MAIN(TestMainWindowCentre)
#include "tst_mainwindowcentre.moc"
