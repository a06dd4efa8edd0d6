#include "modcommondialog.h"

#include <QTest>

// Windows takes a slash as a separator as well as a backslash, so paths typed
// or passed either way split alike on every platform.
class TestSlashPaths : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
};

void TestSlashPaths::split_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("drive and slashes") << "C:/Data/btsinfo.txt"
                                       << "C:/Data/"
                                       << "btsinfo.txt";
    QTest::newRow("slash after backslash") << R"(C:\Data/f.txt)"
                                           << R"(C:\Data/)"
                                           << "f.txt";
    QTest::newRow("backslash after slash") << R"(C:/Data\f.txt)"
                                           << R"(C:/Data\)"
                                           << "f.txt";
    QTest::newRow("trailing slash") << "C:/Data/"
                                    << "C:/Data/"
                                    << "";
}

void TestSlashPaths::split()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);

    QCOMPARE(vusk::FolderOfPath(path), folder);
    QCOMPARE(vusk::FileNameOfPath(path), fileName);
}

QTEST_APPLESS_MAIN(TestSlashPaths)
#include "tst_slashpaths.moc"
