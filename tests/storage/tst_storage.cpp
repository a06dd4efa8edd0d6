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
        : m_data(std::move(data)), m_step(step), m_room(room), m_fail(failAtEnd)
    {}
    bool isSequential() const override { return true; }
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

    QByteArray m_data;
    qint64 m_step, m_room, m_served = 0;
    bool m_fail;
};

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
    const char *names[] = {"Line", "EndOfFile", "Error", "LineTooLong"};
    return lines << names[int(status)];
}

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        // built: the key, channel and description that join to the entry (none: not built);
        // split: key, channel and description, or key and description when there is no channel.
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("built");
        QTest::addColumn<QStringList>("split");

        const auto row = [](const char *name, QString entry, QStringList built,
                            QStringList split = {}) { // none: as built
            QTest::newRow(name) << entry << built << (split.isEmpty() ? built : split);
        };
        row("cell 6699, channel 62, X", "0x1A2B\t62\tX", {"0x1A2B", "62", "X"});
        row("short key 0xF", "0xF\t62\tX", {"0xF", "62", "X"});
        row("empty channel and description", "0xF\t\t", {"0xF", "", ""});
        row("all empty", "\t\t", {"", "", ""});
        row("blanks kept", " 0xF \t 62 \t  ул. Ленина 1  ", {" 0xF ", " 62 ", "  ул. Ленина 1  "});
        row("further tabs stay in the description", "0xF\t1\t\tD\t", {"0xF", "1", "\tD\t"});
        row("line feed is text", "0xF\t6\n2\ta\nb", {"0xF", "6\n2", "a\nb"});
        row("long fields joined uncut", "0x12345\t12345\tX", {"0x12345", "12345", "X"},
            {"0x1234", "12345", "X"});
        row("a tab typed into the channel", "0xF\t6\t2\tD", {"0xF", "6\t2", "D"},
            {"0xF", "6", "2\tD"});
        row("one tab: no channel", "0x12345\tX", {}, {"0x1234", "X"});
        row("one tab only", "\t", {}, {"", ""});
        row("no tab", "Москва, центр", {}, {"Москва", "Москва, центр"});
        row("empty", "", {}, {"", ""});
    }

    void entries()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, built);
        QFETCH(QStringList, split);

        if (!built.isEmpty())
            QCOMPARE(BuildCellEntry(built[0], built[1], built[2]), entry);
        const CellEntryFields fields = SplitCellEntry(entry);
        QCOMPARE(fields.key, split.first());
        QCOMPARE(fields.channel.value_or("no channel"),
                 split.size() == 3 ? split[1] : "no channel");
        QCOMPARE(fields.description, split.last());
    }

    void codePageMatchesWindows1251()
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

    void writing_data()
    {
        // A character the code page cannot hold refuses the whole file and is pointed out.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QPoint>("bad"); // entry and column; -1, -1 when all fit

        const auto row = [](const char *name, QStringList entries, QByteArray bytes, QPoint bad) {
            QTest::newRow(name) << entries << bytes << bad;
        };
        const QPoint fits(-1, -1);
        row("cell 6699, channel 62, X", {"0x1A2B\t62\tX"},
            QByteArray::fromHex("30783141324209363209580D0A"), fits);
        row("Cyrillic, one byte each", {"Описание Ёё", "«№5»"},
            QByteArray::fromHex("CEEFE8F1E0EDE8E520A8B80D0AABB935BB0D0A"), fits);
        row("empty entries give empty lines", {"a", "", "a"}, "a\r\n\r\na\r\n", fits);
        row("LF and blanks stay text", {" a\nb\t "}, " a\nb\t \r\n", fits);
        row("no entries, no bytes", {}, {}, fits);
        row("U+0080", {"ok", QString(QChar(0x80))}, {}, {1, 0});
        row("e acute after the euro sign", {"a", "", "Цена €5 é"}, {}, {2, 8});
        row("first of several", {"ok", "0xF\t1\tÀ", "中"}, {}, {1, 6});
        row("outside the basic plane", {"ab😀"}, {}, {0, 2});
    }

    void writing()
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

    void reading_data()
    {
        // What a read delivers before it ends or something stops it, and what stopped it.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QPoint>("stepAndChunk");
        QTest::addColumn<bool>("failAtEnd");
        QTest::addColumn<int>("openMode");
        QTest::addColumn<qsizetype>("maxLineBytes");

        const qsizetype mib = CellListReader::defaultMaxLineBytes;
        const int readOnly = QIODevice::ReadOnly;
        const QList<std::tuple<const char *, QByteArray, QStringList>> cases = {
            {"CR LF, last line without", "a\r\nb\r\nc", {"a", "b", "c"}},
            {"final CR LF gives no empty line", "a\r\n", {"a"}},
            {"CR LF CR LF gives one", "a\r\n\r\n", {"a", ""}},
            {"CR alone", "a\rb\r\r", {"a", "b", ""}},
            {"LF alone is text", "a\nb\n", {"a\nb\n"}},
            {"mixed", "a\r\nb\rc\nd\n\re", {"a", "b", "c\nd\n", "e"}},
            {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
            {"empty file", "", {}},
            {"byte order mark is text", "\xEF\xBB\xBFx\r\n", {"п»їx"}},
            {"Cyrillic and NUL",
             QByteArray("\xCE\xEF\0\xB8\r\n", 6),
             {QString("Оп") + QChar(0) + "ё"}},
        };
        // Line ends split between two reads, and devices that hand out less than asked for.
        const QPoint stepAndChunk[] = {{1, 1}, {2, 2}, {3, 3}, {2, 65536}, {1 << 20, 65536}};
        for (const auto &[name, bytes, lines] : cases) {
            for (const QPoint sc : stepAndChunk)
                QTest::addRow("%s, %d-byte reads into %d", name, sc.x(), sc.y())
                    << bytes << lines + QStringList("EndOfFile") << sc << false << readOnly << mib;
        }
        const auto row = [&](const char *name, QByteArray bytes, QStringList lines,
                             bool fail = false, int mode = QIODevice::ReadOnly,
                             qsizetype max = CellListReader::defaultMaxLineBytes) {
            QTest::newRow(name) << bytes << lines << QPoint(3, 4) << fail << mode << max;
        };
        row("disk fails at once", "", {"Error"}, true);
        row("disk fails after whole lines", "a\r\nb\r\n", {"a", "b", "Error"}, true);
        row("disk fails inside a line", "a\r\nb", {"a", "Error"}, true);
        row("not open", "a\r\n", {"Error"}, false, 0);
        row("open for writing", "a\r\n", {"Error"}, false, QIODevice::WriteOnly);
        row("text mode would eat the CRs", "a\r\n", {"Error"}, false, readOnly | QIODevice::Text);
        row("line of exactly the limit", "12345678\r\nx", {"12345678", "x", "EndOfFile"}, false,
            readOnly, 8);
        row("line one over the limit", "short\r\n123456789\r\nx", {"short", "LineTooLong"}, false,
            readOnly, 8);
        row("LF counts toward the limit", "1234\n5678\r\n", {"LineTooLong"}, false, readOnly, 8);
        row("a line of 1 MiB passes", QByteArray(mib, 'a') + "\r\nx",
            {QString(mib, 'a'), "x", "EndOfFile"});
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QPoint, stepAndChunk);
        QFETCH(bool, failAtEnd);
        QFETCH(int, openMode);
        QFETCH(qsizetype, maxLineBytes);

        TestDevice device(bytes, stepAndChunk.x(), failAtEnd);
        if (openMode)
            QVERIFY(device.open(QIODevice::OpenMode(openMode)));
        CellListReader reader(&device, maxLineBytes, stepAndChunk.y());
        QCOMPARE(readAll(reader), lines);
        QCOMPARE(reader.errorString().isEmpty(), lines.last() == "EndOfFile");
        if (failAtEnd)
            QCOMPARE(reader.errorString(), QString("Simulated disk failure"));
        else if (lines.last() == "EndOfFile")
            QCOMPARE(reader.linesRead(), lines.size() - 1);
    }

    void saving_data()
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
            << "missing/cells.txt" << false << "папка не найдена" << QByteArray("former");
    }

    void saving()
    {
        QFETCH(QString, name);
        QFETCH(bool, failingCommit);
        QFETCH(QString, error);
        QFETCH(QByteArray, left);

        QTemporaryDir dir;
        QFile former(dir.filePath("cells.txt"));
        QVERIFY(former.open(QIODevice::WriteOnly) && former.write("former") == 6);
        former.close();

        const auto failRename = [](QSaveFile &, QString *error) {
            *error = "Simulated rename failure";
            return false;
        };
        const CommitStep normal = setCommitStep(failingCommit ? +failRename : nullptr);
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
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
