#include "celllistreading.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using vusk::CellListReading;

class TestCellListReading : public QObject
{
    Q_OBJECT

private slots:
    void readsEnd_data();
    void readsEnd();
};

void TestCellListReading::readsEnd_data()
{
    QTest::addColumn<QString>("path"); // empty: a file of the bytes
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<CellListReading::End>("end");

    using End = CellListReading::End;
    const QByteArray line("0x1A2B\t62\tX\r\n");
    QTest::newRow("two lines") << "" << line.repeated(2) << 2 << End::EndOfFile;
    QTest::newRow("1999 lines") << "" << line.repeated(1999) << 1999 << End::EndOfFile;
    QTest::newRow("2000 lines") << "" << line.repeated(2000) << 2000 << End::LineLimit;
    QTest::newRow("2001 lines") << "" << line.repeated(2001) << 2000 << End::MoreThanLimit;
    QTest::newRow("a 2001st line too long to read")
        << "" << line.repeated(2000) + QByteArray(2 << 20, 'x') << 2000 << End::MoreThanLimit;
    // Reading this file fails at once: a failure, not an empty file.
    QTest::newRow("the disk fails") << "/proc/self/mem" << QByteArray() << 0 << End::Failed;
}

void TestCellListReading::readsEnd()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QFETCH(int, lines);
    QFETCH(CellListReading::End, end);

    QTemporaryDir dir;
    QFile file(dir.filePath("cells.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    if (path.isEmpty())
        path = file.fileName();
    else if (!QFile::exists(path))
        QSKIP("no such file on this system");

    // The same reading twice: the file of the first must be closed when it ends, or
    // Qt warns that it is already open.
    QTest::failOnWarning(QRegularExpression("."));
    CellListReading reading;
    QSignalSpy read(&reading, &CellListReading::lineRead);
    QSignalSpy finished(&reading, &CellListReading::finished);
    for (int time = 1; time <= 2; ++time) {
        QString error;
        QVERIFY(reading.start(path, &error));
        QTRY_COMPARE(finished.size(), time);
        QCOMPARE(finished.last().at(0).value<CellListReading::End>(), end);
        QCOMPARE(finished.last().at(1).toString().isEmpty(), end != CellListReading::End::Failed);
        QCOMPARE(read.size(), time * lines);
        QVERIFY(!reading.isReading());
    }
}

QTEST_MAIN(TestCellListReading)
#include "tst_celllistreading.moc"
