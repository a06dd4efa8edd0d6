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
        QTest::addColumn<QString>("answer"); // exit code|how standard output starts|standard error
        const QString c = "LC_ALL=C.UTF-8", absent = c + " QT_QPA_PLATFORM=nowhere";
        const QString ru = "LC_ALL=ru_RU.UTF-8";
        const QString version = "0|VUSK v1.0.5 [engineer build]\n|";
        const QString usage = "Usage: vusk [OPTION...] [FILE...]\n";
        const QString help = "0|" + usage + "Edit the GSM cell list file of a phone's location|";
        const QString usageRu = "Использование: vusk [ПАРАМЕТР...] [ФАЙЛ...]\n";
        QTest::newRow("--version (no plug-in)") << QStringList{"--version"} << absent << version;
        QTest::newRow("-v") << QStringList{"-v"} << c << version;
        QTest::newRow("--help") << QStringList{"--help", "cells.txt"} << c << help;
        QTest::newRow("-h (no plug-in)") << QStringList{"-h"} << absent << help;
        QTest::newRow("-h in Russian")
            << QStringList{"-h"} << ru << "0|" + usageRu + "Редактор файла с адресами вышек|";
        QTest::newRow("unknown option") << QStringList{"cells.txt", "--frobnicate"} << absent
                                        << "2||vusk: unknown option '--frobnicate'\n" + usage +
                                               "Try 'vusk --help' for more information.\n";
        QTest::newRow("unknown option in Russian")
            << QStringList{"-x"} << ru
            << "2||vusk: неизвестный параметр «-x»\n" + usageRu + "Подробнее: vusk --help\n";
    }

    void answersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, answer);

        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
            variables.remove(name);
        for (const QString &variable : environment.split(' '))
            variables.insert(variable.section('=', 0, 0), variable.section('=', 1));
        QProcess vusk;
        vusk.setProcessEnvironment(variables);
        vusk.start(VUSK_PROGRAM, arguments);
        QVERIFY2(vusk.waitForFinished(30000), "VUSK did not end");
        const QString output = QString::fromUtf8(vusk.readAllStandardOutput());
        const QString seen =
            QString("%1|%2|%3")
                .arg(vusk.exitStatus() == QProcess::NormalExit ? vusk.exitCode() : -1)
                .arg(output.left(answer.section('|', 1, 1).size()),
                     QString::fromUtf8(vusk.readAllStandardError()));
        QVERIFY2(seen == answer, qPrintable("answered (-1: crashed) " + seen + "\nnot " + answer));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
