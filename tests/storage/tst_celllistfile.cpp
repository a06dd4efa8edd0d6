#include "celllistfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using vusk::saveFileAtomically;
using vusk::writeAll;

namespace {

// Accepts at most `room` bytes in all, as a full disk does; -1 refuses outright.
class CrampedDevice : public QIODevice
{
public:
    explicit CrampedDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (m_room < 0) {
            setErrorString(QStringLiteral("device refused"));
            return -1;
        }
        const qint64 taken = qMin(length, m_room);
        m_room -= taken;
        return taken;
    }

private:
    qint64 m_room;
};

} // namespace

class TestCellListFile : public QObject
{
    Q_OBJECT

private slots:
    void writeAllChecksTheCount_data();
    void writeAllChecksTheCount();
    void saveReplacesWholeFile();
    void saveIntoMissingFolderFails();
};

void TestCellListFile::writeAllChecksTheCount_data()
{
    QTest::addColumn<qint64>("room");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");

    QTest::newRow("room enough") << qint64(100) << true << QString();
    QTest::newRow("exactly enough") << qint64(13) << true << QString();
    QTest::newRow("short write") << qint64(5) << false << "5 of 13 bytes written";
    QTest::newRow("refused") << qint64(-1) << false << "device refused";
}

void TestCellListFile::writeAllChecksTheCount()
{
    QFETCH(qint64, room);
    QFETCH(bool, ok);
    QFETCH(QString, error);

    CrampedDevice device(room);
    QString reason;
    QCOMPARE(writeAll(device, QByteArray::fromHex("30783141324209363209580D0A"), &reason), ok);
    QCOMPARE(reason, error);
}

void TestCellListFile::saveReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cells.txt"));
    QFile former(path);
    QVERIFY(former.open(QIODevice::WriteOnly));
    former.write(QByteArray(1000, 'o'));
    former.close();

    QString error;
    QVERIFY(saveFileAtomically(path, "new\r\n", &error));
    QVERIFY(former.open(QIODevice::ReadOnly));
    QCOMPARE(former.readAll(), QByteArray("new\r\n"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cells.txt")});
}

void TestCellListFile::saveIntoMissingFolderFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/cells.txt"));
    QString error;
    QVERIFY(!saveFileAtomically(path, "x\r\n", &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(path));
}

QTEST_APPLESS_MAIN(TestCellListFile)
#include "tst_celllistfile.moc"
