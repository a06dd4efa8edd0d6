#include "cellentry.h"
#include "celllistfile.h"
#include "celllistformat.h"
#include "cp1251.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace vusk;
using Status = CellListReader::Status;

namespace {

// Serves its bytes `step` at a time, as a pipe would, then ends or fails like a
// disk that went away. Writing takes at most `room` bytes in all, as a full disk.
class TestDevice : public QIODevice
{
public:
    TestDevice(QByteArray data, qint64 step, bool failAtEnd = false, qint64 room = 0)
        : m_data(std::move(data)), m_step(step), m_fail(failAtEnd), m_room(room)
    {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, m_step, qint64(m_data.size()) - m_served});
        if (n == 0 && m_fail) {
            setErrorString("Simulated disk failure");
            return -1;
        }
        std::memcpy(data, m_data.constData() + m_served, size_t(n));
        m_served += n;
        return n;
    }
    qint64 writeData(const char *, qint64 length) override
    {
        const qint64 taken = std::min(length, m_room);
        m_room -= taken;
        return taken;
    }

private:
    QByteArray m_data;
    qint64 m_step;
    bool m_fail;
    qint64 m_room;
    qint64 m_served = 0;
};

QString statusName(Status status)
{
    const char *names[] = {"Line", "EndOfFile", "Error", "LineTooLong"};
    return names[int(status)];
}

// Every line up to the status that ended the read, then that status.
QStringList readAll(CellListReader &reader)
{
    QStringList lines;
    QString line;
    Status status;
    while ((status = reader.readLine(&line)) == Status::Line)
        lines << line;
    QString after = "untouched";
    if (reader.readLine(&after) != status || after != "untouched")
        lines << "reader did not stay stopped";
    return lines << statusName(status);
}

bool failRename(QSaveFile &, QString *error)
{
    *error = "Simulated rename failure";
    return false;
}

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void codePageMatchesWindows1251();
    void writing_data();
    void writing();
    void reading_data();
    void reading();
    void readingStops_data();
    void readingStops();
    void saving_data();
    void saving();
};

void TestStorage::entries_data()
{
    // built: the key, channel and description that join to the entry (none: not built);
    // split: key, channel and description, or key and description when there is no channel.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("built");
    QTest::addColumn<QStringList>("split");

    const auto both = [](const char *name, QString entry, QStringList fields) {
        QTest::newRow(name) << entry << fields << fields;
    };
    both("cell 6699, channel 62, X", "0x1A2B\t62\tX", {"0x1A2B", "62", "X"});
    both("short key 0xF", "0xF\t62\tX", {"0xF", "62", "X"});
    both("empty channel and description", "0xF\t\t", {"0xF", "", ""});
    both("all empty", "\t\t", {"", "", ""});
    both("blanks kept", " 0xF \t 62 \t  ул. Ленина 1  ", {" 0xF ", " 62 ", "  ул. Ленина 1  "});
    both("further tabs stay in the description", "0xF\t1\t\tD\t", {"0xF", "1", "\tD\t"});
    both("line feed is text", "0xF\t6\n2\ta\nb", {"0xF", "6\n2", "a\nb"});
    QTest::newRow("long fields are joined uncut")
        << "0x12345\t12345\tX" << QStringList{"0x12345", "12345", "X"}
        << QStringList{"0x1234", "12345", "X"};
    QTest::newRow("a tab typed into the channel")
        << "0xF\t6\t2\tD" << QStringList{"0xF", "6\t2", "D"} << QStringList{"0xF", "6", "2\tD"};
    QTest::newRow("one tab: no channel")
        << "0x12345\tX" << QStringList() << QStringList{"0x1234", "X"};
    QTest::newRow("one tab only") << "\t" << QStringList() << QStringList{"", ""};
    QTest::newRow("no tab") << "Москва, центр" << QStringList()
                            << QStringList{"Москва", "Москва, центр"};
    QTest::newRow("empty") << "" << QStringList() << QStringList{"", ""};
}

void TestStorage::entries()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, built);
    QFETCH(QStringList, split);

    if (!built.isEmpty())
        QCOMPARE(BuildCellEntry(built[0], built[1], built[2]), entry);
    const CellEntryFields fields = SplitCellEntry(entry);
    QCOMPARE(fields.key, split.first());
    QCOMPARE(fields.channel.has_value(), split.size() == 3);
    if (fields.channel)
        QCOMPARE(*fields.channel, split[1]);
    QCOMPARE(fields.description, split.last());
}

void TestStorage::codePageMatchesWindows1251()
{
    QStringDecoder system("windows-1251");
    if (!system.isValid())
        QSKIP("This Qt has no windows-1251 converter to compare with");
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        // 0x98 has no character; ours stands for itself so that any file re-saves intact.
        const QString expected = b == 0x98 ? QString(QChar(0x98)) : system.decode(byte);
        QCOMPARE(decodeCp1251(byte), expected);
        QCOMPARE(encodeCp1251(expected).value_or("unencodable"), byte);
    }
}

void TestStorage::writing_data()
{
    // A character the code page cannot hold refuses the whole file and is pointed out.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QPoint>("bad"); // entry and column; -1, -1 when all fit

    const QPoint none(-1, -1);
    QTest::newRow("cell 6699, channel 62, X")
        << QStringList{"0x1A2B\t62\tX"} << QByteArray::fromHex("30783141324209363209580D0A")
        << none;
    QTest::newRow("Cyrillic, one byte each") << QStringList{"Описание Ёё", "«№5»"}
                                             << QByteArray::fromHex("CEEFE8F1E0EDE8E520A8B80D0AAB"
                                                                    "B935BB0D0A")
                                             << none;
    QTest::newRow("empty entries give empty lines")
        << QStringList{"a", "", "a"} << QByteArray("a\r\n\r\na\r\n") << none;
    QTest::newRow("LF and blanks stay text")
        << QStringList{" a\nb\t "} << QByteArray(" a\nb\t \r\n") << none;
    QTest::newRow("no entries, no bytes") << QStringList() << QByteArray() << none;
    QTest::newRow("U+0080") << QStringList{"ok", QString(QChar(0x80))} << QByteArray()
                            << QPoint(1, 0);
    QTest::newRow("e acute after the euro sign")
        << QStringList{"a", "", "Цена €5 é"} << QByteArray() << QPoint(2, 8);
    QTest::newRow("first of several")
        << QStringList{"ok", "0xF\t1\tÀ", "中"} << QByteArray() << QPoint(1, 6);
    QTest::newRow("outside the basic plane") << QStringList{"ab😀"} << QByteArray() << QPoint(0, 2);
}

void TestStorage::writing()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);
    QFETCH(QPoint, bad);

    const EncodedCellList encoded = encodeCellList(entries);
    QCOMPARE(encoded.ok(), bad.x() < 0);
    QCOMPARE(QPoint(int(encoded.badEntry), int(encoded.badColumn)), bad);
    QCOMPARE(encoded.bytes, bytes);
    if (encoded.ok()) { // and reads back as it was
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(readCellList(&file), entries);
    }
}

void TestStorage::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QPoint>("stepAndChunk");

    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } const cases[] = {
        {"CR LF, last line without", "a\r\nb\r\nc", {"a", "b", "c"}},
        {"final CR LF gives no empty line", "a\r\n", {"a"}},
        {"CR LF CR LF gives one", "a\r\n\r\n", {"a", ""}},
        {"CR alone", "a\rb\r\r", {"a", "b", ""}},
        {"LF alone is text", "a\nb\n", {"a\nb\n"}},
        {"mixed", "a\r\nb\rc\nd\n\re", {"a", "b", "c\nd\n", "e"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"empty file", "", {}},
        {"byte order mark is text", "\xEF\xBB\xBFx\r\n", {"п»їx"}},
        {"Cyrillic and NUL", QByteArray("\xCE\xEF\0\xB8\r\n", 6), {QString("Оп") + QChar(0) + "ё"}},
    };
    // Line ends split between two reads, and devices that hand out less than asked for.
    const QPoint stepAndChunk[] = {{1, 1}, {2, 2}, {3, 3}, {2, 65536}, {1 << 20, 65536}};
    for (const Case &c : cases) {
        for (const QPoint sc : stepAndChunk)
            QTest::addRow("%s, %d-byte reads into %d", c.name, sc.x(), sc.y())
                << c.bytes << c.lines << sc;
    }
}

void TestStorage::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QPoint, stepAndChunk);

    TestDevice device(bytes, stepAndChunk.x());
    QVERIFY(device.open(QIODevice::ReadOnly));
    CellListReader reader(&device, CellListReader::defaultMaxLineBytes, stepAndChunk.y());
    QCOMPARE(readAll(reader), lines << "EndOfFile");
    QCOMPARE(reader.linesRead(), lines.size() - 1);
}

void TestStorage::readingStops_data()
{
    // What a read delivers before something stops it, and what stopped it.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("failAtEnd");
    QTest::addColumn<int>("openMode");
    QTest::addColumn<qsizetype>("maxLineBytes");
    QTest::addColumn<QStringList>("lines");

    const qsizetype mib = CellListReader::defaultMaxLineBytes;
    const int readOnly = QIODevice::ReadOnly;
    const auto row = [&](const char *name, QByteArray bytes, bool fail, int mode, qsizetype max,
                         QStringList lines) {
        QTest::newRow(name) << bytes << fail << mode << max << lines;
    };
    row("disk fails at once", "", true, readOnly, mib, {"Error"});
    row("disk fails after whole lines", "a\r\nb\r\n", true, readOnly, mib, {"a", "b", "Error"});
    row("disk fails inside a line", "a\r\nb", true, readOnly, mib, {"a", "Error"});
    row("not open", "a\r\n", false, 0, mib, {"Error"});
    row("open for writing", "a\r\n", false, QIODevice::WriteOnly, mib, {"Error"});
    row("text mode would eat the CRs", "a\r\n", false, readOnly | QIODevice::Text, mib, {"Error"});
    row("line of exactly the limit", "12345678\r\nx", false, readOnly, 8,
        {"12345678", "x", "EndOfFile"});
    row("line one over the limit", "short\r\n123456789\r\nx", false, readOnly, 8,
        {"short", "LineTooLong"});
    row("LF counts toward the limit", "1234\n5678\r\n", false, readOnly, 8, {"LineTooLong"});
    row("a line of 1 MiB passes", QByteArray(mib, 'a') + "\r\nx", false, readOnly, mib,
        {QString(mib, 'a'), "x", "EndOfFile"});
}

void TestStorage::readingStops()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, failAtEnd);
    QFETCH(int, openMode);
    QFETCH(qsizetype, maxLineBytes);
    QFETCH(QStringList, lines);

    TestDevice device(bytes, 3, failAtEnd);
    if (openMode)
        QVERIFY(device.open(QIODevice::OpenMode(openMode)));
    CellListReader reader(&device, maxLineBytes, 4);
    QCOMPARE(readAll(reader), lines);
    QCOMPARE(reader.errorString().isEmpty(), lines.last() == "EndOfFile");
    if (failAtEnd)
        QCOMPARE(reader.errorString(), QString("Simulated disk failure"));
}

void TestStorage::saving_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("failingCommit");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("left");

    QTest::newRow("replaces the former file")
        << "cells.txt" << false << "" << QByteArray("new\r\n");
    QTest::newRow("renaming fails: the former file stays")
        << "cells.txt" << true << "Simulated rename failure" << QByteArray("former");
    QTest::newRow("folder missing")
        << "missing/cells.txt" << false << "No such file" << QByteArray("former");
}

void TestStorage::saving()
{
    QFETCH(QString, name);
    QFETCH(bool, failingCommit);
    QFETCH(QString, error);
    QFETCH(QByteArray, left);

    QTemporaryDir dir;
    QFile former(dir.filePath("cells.txt"));
    QVERIFY(former.open(QIODevice::WriteOnly) && former.write("former") == 6);
    former.close();

    const CommitStep normal = setCommitStep(failingCommit ? failRename : nullptr);
    QString reason;
    const bool saved = saveFileAtomically(dir.filePath(name), "new\r\n", &reason);
    setCommitStep(normal);
    QCOMPARE(saved, error.isEmpty());
    QCOMPARE(reason.isEmpty(), saved);
    QVERIFY2(reason.contains(error), qPrintable(reason));
    QVERIFY(former.open(QIODevice::ReadOnly));
    QCOMPARE(former.readAll(), left);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"cells.txt"}); // no leftovers

    // A full disk takes part of the bytes and says nothing; the count tells.
    TestDevice full({}, 0, false, 5);
    QVERIFY(full.open(QIODevice::WriteOnly));
    QVERIFY(!writeAll(full, "0x1A2B\t62\tX\r\n", &reason));
    QCOMPARE(reason, QString("5 of 13 bytes written"));
}

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
