#include "cp1251.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using vusk::appendCp1251;
using vusk::decodeCp1251;
using vusk::encodeCp1251;

namespace {

QByteArray allBytes()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = static_cast<char>(b);
    return bytes;
}

} // namespace

class TestCp1251 : public QObject
{
    Q_OBJECT

private slots:
    void knownText_data();
    void knownText();
    void everyByteRoundTrips();
    void bytesDecodeToDistinctCharacters();
    void matchesSystemConverter();
    void unencodable_data();
    void unencodable();
    void appendKeepsExistingBytes();
};

void TestCp1251::knownText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii") << QStringLiteral("0x1A2B\t62\tX") << QByteArray("0x1A2B\t62\tX");
    QTest::newRow("control characters")
        << QStringLiteral("\r\n\t") + QChar(0) + QChar(0x7F) << QByteArray("\r\n\t\0\x7F", 5);
    QTest::newRow("description word")
        << QStringLiteral("Описание") << QByteArray::fromHex("CEEFE8F1E0EDE8E5");
    QTest::newRow("upper-case alphabet")
        << QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")
        << QByteArray::fromHex("C0C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0D1D2D3D4D5D6D7D8D9DADBDCDDDEDF");
    QTest::newRow("lower-case alphabet")
        << QStringLiteral("абвгдежзийклмнопрстуфхцчшщъыьэюя")
        << QByteArray::fromHex("E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF");
    QTest::newRow("yo") << QStringLiteral("Ёё") << QByteArray::fromHex("A8B8");
    QTest::newRow("Ukrainian and Belarusian")
        << QStringLiteral("ҐґЄєІіЇїЎў") << QByteArray::fromHex("A5B4AABAB2B3AFBFA1A2");
    QTest::newRow("Serbian and Macedonian")
        << QStringLiteral("ЂђЃѓЉљЊњЌќЋћЏџЈјЅѕ")
        << QByteArray::fromHex("809081838A9A8C9C8D9D8E9E8F9FA3BCBDBE");
    QTest::newRow("punctuation") << QStringLiteral("‚„…†‡€‰‹‘’“”•–—™›№«»")
                                 << QByteArray::fromHex("828485868788898B91929394959697999BB9ABBB");
    QTest::newRow("symbols") << QStringLiteral("\u00A0¤¦§©¬\u00AD®°±µ¶·")
                             << QByteArray::fromHex("A0A4A6A7A9ACADAEB0B1B5B6B7");
    QTest::newRow("the byte without a character")
        << QString(QChar(0x98)) << QByteArray::fromHex("98");
    QTest::newRow("byte order mark bytes")
        << QStringLiteral("п»ї") << QByteArray::fromHex("EFBBBF");
}

void TestCp1251::knownText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(decodeCp1251(bytes), text);
    qsizetype badIndex = -2;
    const std::optional<QByteArray> encoded = encodeCp1251(text, &badIndex);
    QVERIFY(encoded.has_value());
    QCOMPARE(*encoded, bytes);
    QCOMPARE(badIndex, qsizetype(-2)); // untouched on success
}

void TestCp1251::everyByteRoundTrips()
{
    const QByteArray bytes = allBytes();
    const QString text = decodeCp1251(bytes);
    QCOMPARE(text.size(), bytes.size());
    for (int b = 0; b < 256; ++b) {
        const std::optional<uchar> back = vusk::unicodeToCp1251(text[b].unicode());
        QVERIFY2(back.has_value(), qPrintable(QString::number(b, 16)));
        QCOMPARE(int(*back), b);
    }
    const std::optional<QByteArray> encoded = encodeCp1251(text);
    QVERIFY(encoded.has_value());
    QCOMPARE(*encoded, bytes);
}

void TestCp1251::bytesDecodeToDistinctCharacters()
{
    const QString text = decodeCp1251(allBytes());
    QSet<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = text[b].unicode();
        if (b < 0x80)
            QCOMPARE(int(ch), b); // ASCII half is the identity
        QVERIFY2(!seen.contains(ch), qPrintable(QString::number(b, 16)));
        seen.insert(ch);
    }
}

void TestCp1251::matchesSystemConverter()
{
    QStringDecoder decoder("windows-1251");
    QStringEncoder encoder("windows-1251");
    if (!decoder.isValid() || !encoder.isValid())
        QSKIP("This Qt has no windows-1251 converter to compare with");

    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x98)
            continue; // no character in the code page; ours maps it to U+0098
        const QByteArray byte(1, static_cast<char>(b));
        const QString theirs = decoder.decode(byte);
        QVERIFY2(!decoder.hasError(), qPrintable(QString::number(b, 16)));
        QCOMPARE(decodeCp1251(byte), theirs);

        const QByteArray theirBytes = encoder.encode(theirs);
        QVERIFY2(!encoder.hasError(), qPrintable(QString::number(b, 16)));
        QCOMPARE(theirBytes, byte);
        QCOMPARE(encodeCp1251(theirs).value_or(QByteArray()), byte);
    }
}

void TestCp1251::unencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("badIndex");

    QTest::newRow("latin e acute") << QStringLiteral("é") << qsizetype(0);
    QTest::newRow("after good text")
        << QStringLiteral("0x1A2B\t62\tКафе") + QChar(0xE9) << qsizetype(14);
    QTest::newRow("first of two bad") << QStringLiteral("abc中é") << qsizetype(3);
    QTest::newRow("Cyrillic outside the code page") << QStringLiteral("ЁЀ") << qsizetype(1);
    QTest::newRow("replacement character") << QString(QChar(0xFFFD)) << qsizetype(0);
    QTest::newRow("C1 control other than 0x98") << QString(QChar(0x81)) << qsizetype(0);
    QTest::newRow("outside the basic plane") << QStringLiteral("ab😀") << qsizetype(2);
}

void TestCp1251::unencodable()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, badIndex);

    qsizetype reported = -1;
    QVERIFY(!encodeCp1251(text, &reported).has_value());
    QCOMPARE(reported, badIndex);
    // The reported character is indeed one the code page lacks, and all before it fit.
    QVERIFY(!vusk::unicodeToCp1251(text[badIndex].unicode()).has_value());
    QVERIFY(encodeCp1251(QStringView(text).first(badIndex)).has_value());
}

void TestCp1251::appendKeepsExistingBytes()
{
    QByteArray out("head:");
    QVERIFY(appendCp1251(QStringLiteral("Да"), &out));
    QCOMPARE(out, QByteArray("head:\xC4\xE0"));

    qsizetype badIndex = -1;
    QVERIFY(!appendCp1251(QStringLiteral("Нет é"), &out, &badIndex));
    QCOMPARE(badIndex, qsizetype(4));
    QCOMPARE(out, QByteArray("head:\xC4\xE0")); // nothing half-written
}

QTEST_GUILESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
