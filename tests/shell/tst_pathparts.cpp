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
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("bare name") << "btsinfo.txt"
                               << ""
                               << "btsinfo.txt";
    QTest::newRow("drive and folder") << R"(C:\Data\btsinfo.txt)"
                                      << R"(C:\Data\)"
                                      << "btsinfo.txt";
    QTest::newRow("trailing backslash") << R"(C:\Data\)"
                                        << R"(C:\Data\)"
                                        << "";
    QTest::newRow("adjacent backslashes") << R"(C:\\x)"
                                          << R"(C:\\)"
                                          << "x";
    QTest::newRow("leading double backslash") << R"(\\server\share\f.txt)"
                                              << R"(\\server\share\)"
                                              << "f.txt";
    QTest::newRow("leading backslash") << R"(\f.txt)"
                                       << R"(\)"
                                       << "f.txt";
    QTest::newRow("backslash alone") << R"(\)"
                                     << R"(\)"
                                     << "";
#ifndef Q_OS_WIN
    QTest::newRow("posix path") << "/home/u/btsinfo.txt"
                                << "/home/u/"
                                << "btsinfo.txt";
    QTest::newRow("mixed separators") << R"(/home/u\sub/f.txt)"
                                      << R"(/home/u\sub/)"
                                      << "f.txt";
#endif
}

void TestPathParts::split()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);

    QCOMPARE(vusk::FolderOfPath(path), folder);
    QCOMPARE(vusk::FileNameOfPath(path), fileName);
    // Together they give the path back.
    QCOMPARE(vusk::FolderOfPath(path) + vusk::FileNameOfPath(path), path);
}

QTEST_APPLESS_MAIN(TestPathParts)
#include "tst_pathparts.moc"
