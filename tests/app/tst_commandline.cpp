#include "frmmain.h"
#include "readable.h"

#include <QProcess>
#include <QTest>

// VUSK answers its command line before it looks for a display, so these run the
// program itself with none.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment"); // besides no display
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // how standard output starts
        QTest::addColumn<QString>("errors");
        const QString c = "LC_ALL=C.UTF-8", absent = c + " QT_QPA_PLATFORM=nowhere";
        const QString ru = "LC_ALL=ru_RU.UTF-8";
        const QString version = vusk::frmMain::windowTitleText() + '\n'; // as the window's title
        const QString usage = "Usage: vusk [OPTION...] [FILE...]\n";
        const QString help = usage + "Edit the GSM cell list file of a phone's location";
        const QString usageRu = "Использование: vusk [ПАРАМЕТР...] [ФАЙЛ...]\n";
        QTest::newRow("--version (no plug-in)")
            << QStringList{"--version"} << absent << 0 << version << "";
        QTest::newRow("-v") << QStringList{"-v"} << c << 0 << version << "";
        QTest::newRow("--help") << QStringList{"--help", "cells.txt"} << c << 0 << help << "";
        QTest::newRow("-h (no plug-in)") << QStringList{"-h"} << absent << 0 << help << "";
        QTest::newRow("-h in Russian")
            << QStringList{"-h"} << ru << 0 << usageRu + "Редактор файла с адресами вышек"
            << "";
        QTest::newRow("unknown option")
            << QStringList{"cells.txt", "--frobnicate"} << absent << 2 << ""
            << "vusk: unknown option '--frobnicate'\n" + usage +
                   "Try 'vusk --help' for more information.\n";
        QTest::newRow("unknown option in Russian")
            << QStringList{"-x"} << ru << 2 << ""
            << "vusk: неизвестный параметр «-x»\n" + usageRu + "Подробнее: vusk --help\n";
    }

    void answersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);

        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
            variables.remove(name);
        for (const QString &variable : environment.split(' '))
            variables.insert(variable.section('=', 0, 0), variable.section('=', 1));
        QProcess vusk;
        vusk.setProcessEnvironment(variables);
        vusk.start(VUSK_PROGRAM, arguments);
        QVERIFY2(vusk.waitForFinished(30000), "VUSK did not end");
        const QString errorsSeen = QString::fromUtf8(vusk.readAllStandardError());
        QCOMPARE(vusk.exitStatus(), QProcess::NormalExit);
        COMPARE_TEXT("standard error", errorsSeen, errors);
        COMPARE_TEXT("standard output",
                     QString::fromUtf8(vusk.readAllStandardOutput()).left(output.size()), output);
        QCOMPARE(vusk.exitCode(), exitCode);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
