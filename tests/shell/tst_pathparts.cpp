#include "modcommondialog.h"

#include <QTest>

class TestPathParts : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
};

void TestPathParts::split_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");

    const auto row = [](const char *name, const char *folder, const char *fileName) {
        QTest::newRow(name) << folder << fileName;
    };
    row("empty", "", "");
    row("bare name", "", "btsinfo.txt");
    row("drive and folder", R"(C:\Data\)", "btsinfo.txt");
    row("trailing backslash", R"(C:\Data\)", "");
    row("adjacent backslashes", R"(C:\\)", "x");
    row("network share", R"(\\server\share\)", "f.txt");
    row("leading backslash", R"(\)", "f.txt");
    row("backslash alone", R"(\)", "");
#ifndef Q_OS_WIN
    row("mixed separators", R"(/home/u\sub/)", "f.txt");
#endif
}

void TestPathParts::split()
{
    QFETCH(QString, folder);
    QFETCH(QString, fileName);

    const QString path = folder + fileName;
    QCOMPARE(vusk::FolderOfPath(path), folder);
    QCOMPARE(vusk::FileNameOfPath(path), fileName);
}

QTEST_APPLESS_MAIN(TestPathParts)
#include "tst_pathparts.moc"
