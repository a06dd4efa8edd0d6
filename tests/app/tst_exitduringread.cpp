#include "celllistmodel.h"
#include "celllistreading.h"
#include "dialoganswers.h"
#include "frmmain.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Exit chosen in the middle of a read ends the program at once and cleanly. The
// program runs in a child process: this one starts it and judges how it ended.

namespace {

const char childSwitch[] = "--exit-during-read";

// The child: open a long file through the menu, choose Exit after a few lines.
int runChild(int argc, char **argv, const QString &file)
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    vusk::frmMain window;
    window.show();

    ModalWatcher watcher(typeFileName(file));
    QObject::connect(&window.cellListReading(), &vusk::CellListReading::lineRead, &window,
                     [&window, lines = 0]() mutable {
                         if (++lines == 50)
                             triggerAction(&window, QStringLiteral("mnuFileExit"));
                     });
    QTimer::singleShot(0, &window,
                       [&window] { triggerAction(&window, QStringLiteral("mnuFileOpen")); });
    const int code = app.exec();
    printf("entries %lld\n", qlonglong(window.cellList().count()));
    return code;
}

} // namespace

class TestExitDuringRead : public QObject
{
    Q_OBJECT

private slots:
    void exitEndsTheProgramMidRead();
};

void TestExitDuringRead::exitEndsTheProgramMidRead()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("long.txt"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    for (int i = 0; i < 2000; ++i)
        out.write("0x1\t1\tline\r\n");
    out.close();

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(childSwitch), file});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    // Not a line was added after the exit.
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("entries 50"));
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], childSwitch) == 0)
        return runChild(1, argv, QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    TestExitDuringRead test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exitduringread.moc"
