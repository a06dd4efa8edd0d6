#include "celllistformat.h"
#include "cp1251.h"

#include <QBuffer>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <memory>

using vusk::CellListReader;
using vusk::encodeCellList;
using vusk::EncodedCellList;
using vusk::readCellList;
using Status = vusk::CellListReader::Status;

Q_DECLARE_METATYPE(vusk::CellListReader::Status)

namespace vusk {
char *toString(CellListReader::Status status)
{
    switch (status) {
    case CellListReader::Status::Line:
        return qstrdup("Line");
    case CellListReader::Status::EndOfFile:
        return qstrdup("EndOfFile");
    case CellListReader::Status::Error:
        return qstrdup("Error");
    case CellListReader::Status::LineTooLong:
        return qstrdup("LineTooLong");
    }
    return qstrdup("?");
}
} // namespace vusk

namespace {

constexpr qsizetype defaultChunk = CellListReader::defaultChunkBytes;
constexpr qsizetype defaultMaxLine = CellListReader::defaultMaxLineBytes;

// Hands out its bytes a few at a time, as a pipe would.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(QByteArray data, qint64 step) : m_data(std::move(data)), m_step(step) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, m_step, qint64(m_data.size()) - m_pos});
        std::memcpy(data, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_step;
    qint64 m_pos = 0;
};

// Hands out its good bytes, then fails like a disk that went away.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray good) : m_good(std::move(good)) {}

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, qint64(m_good.size()) - m_served);
        if (n > 0) {
            std::memcpy(data, m_good.constData() + m_served, size_t(n));
            m_served += n;
            return n;
        }
        setErrorString(QStringLiteral("Simulated disk failure"));
        return -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_good;
    qint64 m_served = 0;
};

// A large file of one byte value that is never held in memory; counts what it hands out.
class GeneratorDevice : public QIODevice
{
public:
    GeneratorDevice(qint64 size, char fill) : m_size(size), m_fill(fill) {}
    qint64 size() const override { return m_size; }
    qint64 served() const { return m_served; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, m_size - m_served);
        std::memset(data, m_fill, size_t(n));
        m_served += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_size;
    char m_fill;
    qint64 m_served = 0;
};

struct ReadOutcome
{
    QStringList lines;
    Status end = Status::Line;
    QString error;
};

ReadOutcome readToEnd(CellListReader &reader)
{
    ReadOutcome outcome;
    QString line;
    while ((outcome.end = reader.readLine(&line)) == Status::Line)
        outcome.lines.append(line);
    outcome.error = reader.errorString();
    return outcome;
}

ReadOutcome readBytes(const QByteArray &bytes, qsizetype chunk, qint64 trickleStep,
                      qsizetype maxLineBytes = defaultMaxLine)
{
    std::unique_ptr<QIODevice> device;
    if (trickleStep > 0) {
        device = std::make_unique<TrickleDevice>(bytes, trickleStep);
    } else {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(bytes);
        device = std::move(buffer);
    }
    if (!device->open(QIODevice::ReadOnly))
        return {{}, Status::Error, QStringLiteral("test device did not open")};
    CellListReader reader(device.get(), maxLineBytes, chunk);
    ReadOutcome outcome = readToEnd(reader);
    if (reader.linesRead() != outcome.lines.size())
        outcome.error = QStringLiteral("linesRead() disagrees with the lines delivered");
    return outcome;
}

struct ReadConfig
{
    const char *name;
    qsizetype chunk;
    qint64 trickleStep;
};

constexpr ReadConfig readConfigs[] = {
    {"chunk 1", 1, 0},
    {"chunk 2", 2, 0},
    {"chunk 3", 3, 0},
    {"chunk 5", 5, 0},
    {"default chunk", defaultChunk, 0},
    {"trickle 1", defaultChunk, 1},
    {"trickle 2", 2, 2},
    {"trickle 7", defaultChunk, 7},
};

QByteArray numberedLines(int count, bool finalLineEnd)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += "line " + QByteArray::number(i);
        if (i < count || finalLineEnd)
            bytes += "\r\n";
    }
    return bytes;
}

} // namespace

class TestCellListFormat : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void encodeUnencodable_data();
    void encodeUnencodable();

    void read_data();
    void read();
    void lineEndAtChunkEdge_data();
    void lineEndAtChunkEdge();
    void readLimit_data();
    void readLimit();
    void lineTooLong_data();
    void lineTooLong();
    void defaultLineLimit();
    void hugeLineIsNotLoaded();
    void deviceError_data();
    void deviceError();
    void unusableDevice_data();
    void unusableDevice();
    void roundTrip();
};

void TestCellListFormat::encode_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("cell 6699, channel 62, X") << QStringList{QStringLiteral("0x1A2B\t62\tX")}
                                              << QByteArray::fromHex("30783141324209363209580D0A");
    QTest::newRow("Cyrillic description")
        << QStringList{QStringLiteral("Описание")} << QByteArray::fromHex("CEEFE8F1E0EDE8E50D0A");
    QTest::newRow("empty entry") << QStringList{QString()} << QByteArray::fromHex("0D0A");
    QTest::newRow("empty entry between others")
        << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}
        << QByteArray::fromHex("610D0A0D0A620D0A");
    QTest::newRow("no entries") << QStringList() << QByteArray();
    QTest::newRow("LF inside an entry is text")
        << QStringList{QStringLiteral("a\nb")} << QByteArray::fromHex("610A620D0A");
    QTest::newRow("blanks and tabs verbatim")
        << QStringList{QStringLiteral(" 0xF\t\t ")} << QByteArray::fromHex("203078460909200D0A");
    QTest::newRow("character of byte 0x98")
        << QStringList{QString(QChar(0x98))} << QByteArray::fromHex("980D0A");
    QTest::newRow("repeated entries kept") << QStringList{QStringLiteral("x"), QStringLiteral("x")}
                                           << QByteArray::fromHex("780D0A780D0A");
}

void TestCellListFormat::encode()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);

    const EncodedCellList encoded = encodeCellList(entries);
    QVERIFY(encoded.ok());
    QCOMPARE(encoded.badEntry, qsizetype(-1));
    QCOMPARE(encoded.bytes, bytes);
}

void TestCellListFormat::encodeUnencodable_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<qsizetype>("badEntry");
    QTest::addColumn<qsizetype>("badColumn");

    QTest::newRow("only entry") << QStringList{QStringLiteral("中")} << qsizetype(0)
                                << qsizetype(0);
    QTest::newRow("second entry") << QStringList{QStringLiteral("ok"), QStringLiteral("café")}
                                  << qsizetype(1) << qsizetype(3);
    QTest::newRow("euro sign fits, e acute does not")
        << QStringList{QStringLiteral("a"), QString(), QStringLiteral("Цена €5 é")} << qsizetype(2)
        << qsizetype(8);
    QTest::newRow("first of several bad entries")
        << QStringList{QStringLiteral("Описание"), QStringLiteral("0xF\t1\tÀ"),
                       QStringLiteral("中")}
        << qsizetype(1) << qsizetype(6);
}

void TestCellListFormat::encodeUnencodable()
{
    QFETCH(QStringList, entries);
    QFETCH(qsizetype, badEntry);
    QFETCH(qsizetype, badColumn);

    const EncodedCellList encoded = encodeCellList(entries);
    QVERIFY(!encoded.ok());
    QCOMPARE(encoded.badEntry, badEntry);
    QCOMPARE(encoded.badColumn, badColumn);
    QVERIFY(encoded.bytes.isEmpty());
}

void TestCellListFormat::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qsizetype>("chunk");
    QTest::addColumn<qint64>("trickleStep");

    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\nc", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {"trailing CR LF", "a\r\nb\r\n", {QStringLiteral("a"), QStringLiteral("b")}},
        {"trailing CR LF CR LF",
         "a\r\nb\r\n\r\n",
         {QStringLiteral("a"), QStringLiteral("b"), QString()}},
        {"CR only", "a\rb\rc\r", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {"LF only", "a\nb\nc\n", {QStringLiteral("a\nb\nc\n")}},
        {"mixed",
         "a\r\nb\rc\nd\r\ne",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c\nd"), QStringLiteral("e")}},
        {"LF before CR", "a\n\rb", {QStringLiteral("a\n"), QStringLiteral("b")}},
        {"CR CR LF", "a\r\r\nb", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"CR CR at end", "a\r\r", {QStringLiteral("a"), QString()}},
        {"no final line end", "0x1A2B\t62\tX", {QStringLiteral("0x1A2B\t62\tX")}},
        {"empty file", QByteArray(), {}},
        {"only CR LF", "\r\n", {QString()}},
        {"only CR", "\r", {QString()}},
        {"only LF", "\n", {QStringLiteral("\n")}},
        {"empty lines kept",
         "\r\n\r\nx\r\n\r\ny",
         {QString(), QString(), QStringLiteral("x"), QString(), QStringLiteral("y")}},
        {"repeated lines kept",
         "x\r\nx\r\nx",
         {QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x")}},
        {"byte order mark is text",
         QByteArray::fromHex("EFBBBF") + "0xF\t1\tX\r\n",
         {QStringLiteral("п»ї0xF\t1\tX")}},
        {"Cyrillic",
         QByteArray::fromHex("CEEFE8F1E0EDE8E50D0AB8A80D0A"),
         {QStringLiteral("Описание"), QStringLiteral("ёЁ")}},
        {"NUL is text", QByteArray("a\0b\r\n", 5), {QStringLiteral("a") + QChar(0) + u'b'}},
    };
    for (const Case &c : cases) {
        for (const ReadConfig &config : readConfigs) {
            QTest::addRow("%s, %s", c.name, config.name)
                << c.bytes << c.lines << config.chunk << config.trickleStep;
        }
    }
}

void TestCellListFormat::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(qsizetype, chunk);
    QFETCH(qint64, trickleStep);

    const ReadOutcome outcome = readBytes(bytes, chunk, trickleStep);
    QCOMPARE(outcome.end, Status::EndOfFile);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.lines, lines);
}

void TestCellListFormat::lineEndAtChunkEdge_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QStringList>("tailLines");

    QTest::newRow("CR LF split") << QByteArray("\r\nnext") << QStringList{QStringLiteral("next")};
    QTest::newRow("CR LF split, file ends") << QByteArray("\r\n") << QStringList();
    QTest::newRow("CR then text") << QByteArray("\rnext") << QStringList{QStringLiteral("next")};
    QTest::newRow("CR ends file") << QByteArray("\r") << QStringList();
    QTest::newRow("CR then CR LF")
        << QByteArray("\r\r\nnext") << QStringList{QString(), QStringLiteral("next")};
    QTest::newRow("CR LF then LF")
        << QByteArray("\r\n\nnext") << QStringList{QStringLiteral("\nnext")};
}

void TestCellListFormat::lineEndAtChunkEdge()
{
    QFETCH(QByteArray, tail);
    QFETCH(QStringList, tailLines);

    // Many short lines, then a filler line whose CR is the last byte of the first chunk.
    const QByteArray shortLine("line\r\n");
    const qsizetype shortCount = (defaultChunk - 1) / shortLine.size();
    QByteArray bytes = shortLine.repeated(shortCount);
    const QByteArray filler(defaultChunk - 1 - bytes.size(), 'f');
    bytes += filler;
    bytes += tail;
    QCOMPARE(bytes.at(defaultChunk - 1), '\r');

    QStringList expected(shortCount, QStringLiteral("line"));
    expected.append(QString::fromLatin1(filler));
    expected += tailLines;

    const ReadOutcome outcome = readBytes(bytes, defaultChunk, 0);
    QCOMPARE(outcome.end, Status::EndOfFile);
    QCOMPARE(outcome.lines.size(), expected.size());
    QCOMPARE(outcome.lines, expected);
}

void TestCellListFormat::readLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("maxLines"); // -1: the default
    QTest::addColumn<int>("count");
    QTest::addColumn<Status>("end");

    QTest::newRow("2001 lines") << numberedLines(2001, true) << -1 << 2000 << Status::Line;
    QTest::newRow("2001 lines, no final line end")
        << numberedLines(2001, false) << -1 << 2000 << Status::Line;
    QTest::newRow("2000 lines") << numberedLines(2000, true) << -1 << 2000 << Status::Line;
    QTest::newRow("1999 lines") << numberedLines(1999, true) << -1 << 1999 << Status::EndOfFile;
    QTest::newRow("empty file") << QByteArray() << -1 << 0 << Status::EndOfFile;
    QTest::newRow("small limit") << numberedLines(10, true) << 3 << 3 << Status::Line;
}

void TestCellListFormat::readLimit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxLines);
    QFETCH(int, count);
    QFETCH(Status, end);

    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    Status status = Status::Error;
    const QStringList lines = maxLines < 0 ? readCellList(&buffer, vusk::maxLinesPerRead, &status)
                                           : readCellList(&buffer, maxLines, &status);
    QCOMPARE(lines.size(), count);
    QCOMPARE(status, end);
    for (int i = 0; i < count; ++i)
        QCOMPARE(lines.at(i), QStringLiteral("line %1").arg(i + 1));

    if (maxLines < 0) {
        QBuffer again(&bytes);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(readCellList(&again), lines); // the default limit is the same
    }
}

void TestCellListFormat::lineTooLong_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("maxLineBytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<Status>("end");
    QTest::addColumn<qsizetype>("chunk");

    struct Case
    {
        const char *name;
        QByteArray bytes;
        qsizetype maxLineBytes;
        QStringList lines;
        Status end;
    };
    const Case cases[] = {
        {"exactly the limit, at end",
         "12345678",
         8,
         {QStringLiteral("12345678")},
         Status::EndOfFile},
        {"exactly the limit, CR LF",
         "12345678\r\nx",
         8,
         {QStringLiteral("12345678"), QStringLiteral("x")},
         Status::EndOfFile},
        {"exactly the limit, CR at end",
         "12345678\r",
         8,
         {QStringLiteral("12345678")},
         Status::EndOfFile},
        {"one over, at end", "123456789", 8, {}, Status::LineTooLong},
        {"one over, CR LF", "123456789\r\nx", 8, {}, Status::LineTooLong},
        {"after good lines",
         "short\r\n123456789\r\nlater",
         8,
         {QStringLiteral("short")},
         Status::LineTooLong},
        {"LF counts as text", "1234\n5678\r\n", 8, {}, Status::LineTooLong},
        {"limit zero allows empty lines",
         "\r\n\rx",
         0,
         {QString(), QString()},
         Status::LineTooLong},
    };
    const qsizetype chunks[] = {1, 3, 4, defaultChunk};
    for (const Case &c : cases) {
        for (const qsizetype chunk : chunks) {
            QTest::addRow("%s, chunk %lld", c.name, static_cast<long long>(chunk))
                << c.bytes << c.maxLineBytes << c.lines << c.end << chunk;
        }
    }
}

void TestCellListFormat::lineTooLong()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, maxLineBytes);
    QFETCH(QStringList, lines);
    QFETCH(Status, end);
    QFETCH(qsizetype, chunk);

    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    CellListReader reader(&buffer, maxLineBytes, chunk);
    const ReadOutcome outcome = readToEnd(reader);
    QCOMPARE(outcome.lines, lines);
    QCOMPARE(outcome.end, end);
    QCOMPARE(outcome.error.isEmpty(), end != Status::LineTooLong);

    // The reader stays stopped.
    QString line = QStringLiteral("untouched");
    QCOMPARE(reader.readLine(&line), end);
    QCOMPARE(line, QStringLiteral("untouched"));
}

void TestCellListFormat::defaultLineLimit()
{
    // A line of exactly the default limit still passes.
    QByteArray bytes(defaultMaxLine, 'a');
    bytes += "\r\nx";
    {
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        CellListReader reader(&buffer);
        QString line;
        QCOMPARE(reader.readLine(&line), Status::Line);
        QCOMPARE(line.size(), defaultMaxLine);
        QCOMPARE(reader.readLine(&line), Status::Line);
        QCOMPARE(line, QStringLiteral("x"));
        QCOMPARE(reader.readLine(&line), Status::EndOfFile);
    }

    // About 2 MiB without a line end is refused.
    QByteArray twoMiB(2 * 1024 * 1024 + 17, 'a');
    QBuffer buffer(&twoMiB);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    CellListReader reader(&buffer);
    QString line;
    QCOMPARE(reader.readLine(&line), Status::LineTooLong);
    QVERIFY(line.isEmpty());
    QVERIFY(!reader.errorString().isEmpty());
}

void TestCellListFormat::hugeLineIsNotLoaded()
{
    GeneratorDevice device(qint64(100) * 1024 * 1024, 'A');
    QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    CellListReader reader(&device);
    QString line;
    QCOMPARE(reader.readLine(&line), Status::LineTooLong);
    QVERIFY2(device.served() <= defaultMaxLine + 2 * defaultChunk,
             qPrintable(QStringLiteral("read %1 bytes").arg(device.served())));
    QCOMPARE(reader.readLine(&line), Status::LineTooLong);
    QVERIFY(device.served() <= defaultMaxLine + 2 * defaultChunk);
}

void TestCellListFormat::deviceError_data()
{
    QTest::addColumn<QByteArray>("good");
    QTest::addColumn<qsizetype>("chunk");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("fails at once") << QByteArray() << defaultChunk << QStringList();
    QTest::newRow("fails after lines, one chunk")
        << QByteArray("a\r\nb\r\n") << defaultChunk
        << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("fails after lines, small chunks")
        << QByteArray("a\r\nb\r\n") << qsizetype(2)
        << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("fails inside a line")
        << QByteArray("a\r\nbc") << qsizetype(3) << QStringList{QStringLiteral("a")};
}

void TestCellListFormat::deviceError()
{
    QFETCH(QByteArray, good);
    QFETCH(qsizetype, chunk);
    QFETCH(QStringList, lines);

    FailingDevice device(good);
    QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    CellListReader reader(&device, defaultMaxLine, chunk);
    const ReadOutcome outcome = readToEnd(reader);
    QCOMPARE(outcome.lines, lines);
    QCOMPARE(outcome.end, Status::Error);
    QCOMPARE(outcome.error, QStringLiteral("Simulated disk failure"));

    QString line;
    QCOMPARE(reader.readLine(&line), Status::Error);
    QCOMPARE(reader.linesRead(), lines.size());
}

void TestCellListFormat::unusableDevice_data()
{
    QTest::addColumn<int>("openMode"); // -1: never opened

    QTest::newRow("not open") << -1;
    QTest::newRow("write only") << int(QIODevice::WriteOnly);
    // Text mode would swallow the CRs the line ends are made of.
    QTest::newRow("text mode") << int(QIODevice::ReadOnly | QIODevice::Text);
}

void TestCellListFormat::unusableDevice()
{
    QFETCH(int, openMode);

    QByteArray bytes("a\rb\r\n");
    QBuffer buffer(&bytes);
    if (openMode >= 0)
        QVERIFY(buffer.open(QIODevice::OpenMode(openMode)));
    CellListReader reader(&buffer);
    QString line;
    QCOMPARE(reader.readLine(&line), Status::Error);
    QVERIFY(!reader.errorString().isEmpty());
    QVERIFY(line.isEmpty());
}

void TestCellListFormat::roundTrip()
{
    // Every character the code page holds, except the two that end lines.
    QString everyCharacter;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            everyCharacter += QChar(vusk::cp1251ToUnicode(uchar(b)));
    }
    const QStringList entries = {
        QStringLiteral("0x1A2B\t62\tОписание"),
        QString(),
        QStringLiteral("0xF\t\tул. Ленина, 1 — «Связь» №5"),
        QStringLiteral("  blanks  "),
        QStringLiteral("0x12345\tЁё\tЇїЄєІіҐґЎў"),
        everyCharacter,
        QString(),
    };

    const EncodedCellList encoded = encodeCellList(entries);
    QVERIFY(encoded.ok());
    qsizetype characters = 0;
    for (const QString &entry : entries)
        characters += entry.size();
    QCOMPARE(encoded.bytes.size(), characters + 2 * entries.size()); // one byte per character

    QByteArray bytes = encoded.bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    Status status = Status::Line;
    QCOMPARE(readCellList(&buffer, vusk::maxLinesPerRead, &status), entries);
    QCOMPARE(status, Status::EndOfFile);
}

QTEST_GUILESS_MAIN(TestCellListFormat)
#include "tst_celllistformat.moc"
