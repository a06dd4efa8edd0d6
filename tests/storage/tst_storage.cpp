#include "cellentry.h"
#include "celllistfile.h"
#include "celllistformat.h"
#include "cp1251.h"

#include <QBuffer>
#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace vusk;
using Status = CellListReader::Status;

namespace {

// Hands out and takes `step` bytes at a time, as pipes and full disks do; may fail at the end.
struct TestDevice : QBuffer
{
    TestDevice(const QByteArray &data, qint64 step, bool failAtEnd = false)
        : m_step(step), m_fail(failAtEnd)
    {
        setData(data);
    }
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = QBuffer::readData(data, std::min(maxSize, m_step));
        if (n == 0 && m_fail)
            setErrorString("Simulated disk failure");
        return n == 0 && m_fail ? -1 : n;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        return QBuffer::writeData(data, std::min(size, m_step));
    }

    qint64 m_step;
    bool m_fail;
};

struct Read
{
    QByteArray bytes;
    QStringList lines;              // every line delivered before the read ended
    Status end = Status::EndOfFile; // Error while open for reading: the device itself fails
    qsizetype maxLineBytes = CellListReader::defaultMaxLineBytes;
    QIODevice::OpenMode mode = QIODevice::ReadOnly;
    QPoint stepAndChunk = {}; // the device hands out x bytes at a time; the reader asks for y
};

// A list saved over a file that held "former".
struct Save
{
    QStringList entries;
    QByteArray file;       // what the file holds afterwards
    QString error = {};    // found in the reason given when the list is not saved
    QPoint bad = {-1, -1}; // entry and column of the first character the code page lacks
    bool commitFails = false;
    QString name = "cells.txt";
};

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        // built: fields that join to the entry (none: not built); split: fields it splits into.
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("built");
        QTest::addColumn<QStringList>("split");

        const auto row = [](const char *name, QString entry, QStringList built,
                            QStringList split = {}) { // none: as built
            QTest::newRow(name) << entry << built << (split.isEmpty() ? built : split);
        };
        row("all empty", "\t\t", {"", "", ""});
        row("blanks and line feeds kept", " 0xF \t 6\n2 \t а\nб ", {" 0xF ", " 6\n2 ", " а\nб "});
        row("further tabs stay in the description", "0xF\t1\t\tD\t", {"0xF", "1", "\tD\t"});
        row("long fields", "0x12345\t12345\t", {"0x12345", "12345", ""}, {"0x1234", "12345", ""});
        row("tab in the channel", "0xF\t6\t2\tD", {"0xF", "6\t2", "D"}, {"0xF", "6", "2\tD"});
        row("one tab: no channel", "0x12345\t", {}, {"0x1234", ""});
        row("no tab", "Москва, центр", {}, {"Москва", "Москва, центр"});
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
        QCOMPARE(fields.channel.value_or("none"), split.size() == 3 ? split[1] : "none");
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

    void reading_data()
    {
        QTest::addColumn<Read>("read");
        const qsizetype mib = CellListReader::defaultMaxLineBytes;
        const std::pair<const char *, Read> cases[] = {
            {"CR LF, last line without", {"a\tb\r\nc\r\nd", {"a\tb", "c", "d"}}},
            {"CR LF CR LF gives one empty line, not two", {"a\r\n\r\n", {"a", ""}}},
            {"CR alone, CR CR LF", {"a\rb\r\r\nc\r\r", {"a", "b", "", "c", ""}}},
            {"LF alone is text", {"a\r\nb\rc\nd\n\re\n", {"a", "b", "c\nd\n", "e\n"}}},
            {"empty file", {"", {}}},
            {"BOM and NUL are text",
             {QByteArray("\xEF\xBB\xBF\0", 4), {QString("п»ї") + QChar(0)}}},
            {"disk fails after whole lines", {"a\r\nb\r\n", {"a", "b"}, Status::Error}},
            {"disk fails inside a line", {"a\r\nb", {"a"}, Status::Error}},
            {"line of exactly the limit", {"1234\r\nx", {"1234", "x"}, Status::EndOfFile, 4}},
            {"line one over the limit", {"ab\r\n12345\r\nx", {"ab"}, Status::LineTooLong, 4}},
            {"LF counts toward the limit", {"12\n34\r\n", {}, Status::LineTooLong, 4}},
            {"a line of 1 MiB passes", {QByteArray(mib, 'a') + "\r\nx", {QString(mib, 'a'), "x"}}},
            {"open for writing", {"a\r\n", {}, Status::Error, mib, QIODevice::WriteOnly}},
            {"in text mode",
             {"a\r\n", {}, Status::Error, mib, QIODevice::ReadOnly | QIODevice::Text}},
        };
        // Line ends split between two reads, and devices that hand out less than asked for.
        const QPoint stepAndChunk[] = {{1, 1}, {2, 2}, {3, 3}, {2, 65536}, {1 << 20, 65536}};
        for (auto [name, read] : cases) {
            for (const QPoint sc : stepAndChunk) {
                read.stepAndChunk = sc;
                QTest::addRow("%s, %d-byte reads into %d", name, sc.x(), sc.y()) << read;
            }
        }
    }

    void reading()
    {
        QFETCH(Read, read);
        const bool failAtEnd = read.end == Status::Error && read.mode == QIODevice::ReadOnly;
        TestDevice device(read.bytes, read.stepAndChunk.x(), failAtEnd);
        QVERIFY(device.open(read.mode));
        CellListReader reader(&device, read.maxLineBytes, read.stepAndChunk.y());
        QStringList lines;
        QString line;
        Status status;
        while ((status = reader.readLine(&line)) == Status::Line)
            lines << line;
        QCOMPARE(lines, read.lines);
        QCOMPARE(status, read.end);
        line = "untouched";
        QVERIFY2(reader.readLine(&line) == status && line == "untouched", "did not stay stopped");
        QCOMPARE(reader.linesRead(), lines.size());
        QCOMPARE(reader.errorString().isEmpty(), status == Status::EndOfFile);
        if (failAtEnd)
            QCOMPARE(reader.errorString(), QString("Simulated disk failure"));
    }

    void saving_data()
    {
        QTest::addColumn<Save>("save");
        const std::pair<const char *, Save> rows[] = {
            {"cell 6699, channel 62, Cyrillic",
             {{"0x1A2B\t62\tЁё"}, QByteArray::fromHex("30783141324209363209A8B80D0A")}},
            {"empty entries, LF and blanks", {{"a", "", " a\nb\t "}, "a\r\n\r\n a\nb\t \r\n"}},
            {"no entries, no bytes", {{}, ""}},
            {"U+0080", {{"ok", QString(QChar(0x80))}, "former", "", {1, 0}}},
            {"first of several", {{"a", "", "Цена €5 é", "中😀"}, "former", "", {2, 8}}},
            {"a line as long as a read takes",
             {{QString(maxLineBytes, u'x')}, QByteArray(maxLineBytes, 'x') + "\r\n"}},
            {"one character longer",
             {{"a", QString(maxLineBytes + 1, u'x')}, "former", "", {1, int(maxLineBytes)}}},
            {"renaming fails", {{"new"}, "former", "Simulated rename failure", {-1, -1}, true}},
            {"folder missing",
             {{"new"}, "former", "папка не найдена", {-1, -1}, false, "missing/cells.txt"}},
        };
        for (const auto &[name, save] : rows)
            QTest::newRow(name) << save;
    }

    void saving()
    {
        QFETCH(Save, save);
        const EncodedCellList encoded = encodeCellList(save.entries);
        QCOMPARE(QPoint(int(encoded.badEntry), int(encoded.badColumn)), save.bad);
        QVERIFY(encoded.ok() || encoded.bytes.isEmpty());
        QTemporaryDir dir;
        QFile file(dir.filePath("cells.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("former") == 6);
        file.close();
        const auto failRename = [](QSaveFile &, QString *error) {
            *error = "Simulated rename failure";
            return false;
        };
        const CommitStep normal = setCommitStep(save.commitFails ? +failRename : nullptr);
        QString reason;
        // A list with a character the code page lacks is refused whole, before the disk.
        const bool saved =
            encoded.ok() && saveFileAtomically(dir.filePath(save.name), encoded.bytes, &reason);
        setCommitStep(normal);
        QCOMPARE(saved, save.file != "former");
        QCOMPARE(reason.isEmpty(), save.error.isEmpty());
        QVERIFY2(reason.contains(save.error), qPrintable(reason));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), save.file);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"cells.txt"}); // no leftovers

        // A full disk takes part of the bytes and says nothing; the count tells.
        TestDevice full({}, 5);
        QVERIFY(full.open(QIODevice::WriteOnly));
        QVERIFY(!writeAll(full, "0x1A2B\t62\tX\r\n", &reason));
        QCOMPARE(reason, QString("5 of 13 bytes written"));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
