#include "cellidconversion.h"

#include <QTest>

using vusk::cellIdToHex;
using vusk::cellKeyFromHex;

class TestCellIdConversion : public QObject
{
    Q_OBJECT

private slots:
    void toHex_data();
    void toHex();
    void cellKey_data();
    void cellKey();
};

void TestCellIdConversion::toHex_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("converts");
    QTest::addColumn<QString>("hex");

    const QString c = QStringLiteral("C");
    const QString en = QStringLiteral("en_US");
    const QString ru = QStringLiteral("ru_RU");
    auto row = [](const char *name, const QString &locale, const char *text, const char *hex) {
        QTest::newRow(name) << locale << QString::fromUtf8(text) << (hex != nullptr)
                            << QString::fromLatin1(hex);
    };

    row("zero", c, "0", "0");
    row("fifteen", c, "15", "F");
    row("6699", c, "6699", "1A2B");
    row("65535", c, "65535", "FFFF");
    row("70000", c, "70000", "11170");
    row("99999", c, "99999", "1869F");
    row("blanks around", c, "  12 ", "C");
    row("plus sign", c, "+5", "5");
    row("minus one", c, "-1", "FFFFFFFF");
    row("minus 9999", c, "-9999", "FFFFD8F1");
    row("int max", c, "2147483647", "7FFFFFFF");
    row("int min", c, "-2147483648", "80000000");
    row("above int max", c, "2147483648", nullptr);
    row("below int min", c, "-2147483649", nullptr);
    row("half above max rounds out", c, "2147483647.5", nullptr);
    row("half below min rounds in", c, "-2147483648.5", "80000000");
    row("empty", c, "", nullptr);
    row("blanks only", c, "   ", nullptr);
    row("sign alone", c, "-", nullptr);
    row("letters", c, "abc", nullptr);
    row("digits then letter", c, "12a", nullptr);
    row("not a number", c, "nan", nullptr);
    row("infinity", c, "inf", nullptr);
    row("en 2.5 to even", en, "2.5", "2");
    row("en 3.5 to even", en, "3.5", "4");
    row("en 2.6 up", en, "2.6", "3");
    row("en minus half to zero", en, "-0.5", "0");
    row("en minus 1.5 to even", en, "-1.5", "FFFFFFFE");
    row("ru 2,5 to even", ru, "2,5", "2");
    row("ru 3,5 to even", ru, "3,5", "4");
    row("ru 1,5 to even", ru, "1,5", "2");
    row("ru plain number", ru, "6699", "1A2B");
}

void TestCellIdConversion::toHex()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, converts);
    QFETCH(QString, hex);

    const auto result = cellIdToHex(text, QLocale(locale));
    QCOMPARE(result.has_value(), converts);
    if (converts)
        QCOMPARE(*result, hex);
}

void TestCellIdConversion::cellKey_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("key");

    QTest::newRow("one digit") << QStringLiteral("F") << QStringLiteral("0xF");
    QTest::newRow("four digits") << QStringLiteral("1A2B") << QStringLiteral("0x1A2B");
    QTest::newRow("five digits keep the highest four")
        << QStringLiteral("11170") << QStringLiteral("0x1117");
    QTest::newRow("two's complement") << QStringLiteral("FFFFF") << QStringLiteral("0xFFFF");
    QTest::newRow("before any conversion") << QStringLiteral("-") << QStringLiteral("0x-");
    QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("0x");
}

void TestCellIdConversion::cellKey()
{
    QFETCH(QString, hex);
    QFETCH(QString, key);
    QCOMPARE(cellKeyFromHex(hex), key);
}

QTEST_APPLESS_MAIN(TestCellIdConversion)
#include "tst_cellidconversion.moc"
