#include "cellidconversion.h"

#include <QTest>

class TestCellIdConversion : public QObject
{
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
};

void TestCellIdConversion::convert_data()
{
    // The hex box's text and the key for a typed cell ID; "-" where the hex box
    // keeps its start text, as it does for anything that is no 32-bit number.
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("key");

    const auto row = [](const char *locale, const char *typed, const char *hex, const char *key) {
        QTest::addRow("%s %s", locale, typed) << locale << typed << hex << key;
    };
    row("C", "0", "0", "0x0");
    row("C", "15", "F", "0xF");
    row("C", "6699", "1A2B", "0x1A2B");
    row("C", "70000", "11170", "0x1117");
    row("C", "99999", "1869F", "0x1869");
    row("C", "  12 ", "C", "0xC");
    row("C", "-1", "FFFFFFFF", "0xFFFF");
    row("C", "2147483647", "7FFFFFFF", "0x7FFF");
    row("C", "-2147483648", "80000000", "0x8000");
    row("C", "-2147483648.5", "80000000", "0x8000");
    row("C", "2147483647.5", "-", "0x-");
    row("C", "2147483648", "-", "0x-");
    row("C", "-2147483649", "-", "0x-");
    row("C", "", "-", "0x-");
    row("C", "-", "-", "0x-");
    row("C", "12a", "-", "0x-");
    row("C", "nan", "-", "0x-");
    row("en_US", "2.5", "2", "0x2");
    row("en_US", "3.5", "4", "0x4");
    row("en_US", "-0.5", "0", "0x0");
    row("en_US", "-1.5", "FFFFFFFE", "0xFFFF");
    row("ru_RU", "2,5", "2", "0x2");
    row("ru_RU", "3,5", "4", "0x4");
}

void TestCellIdConversion::convert()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, hex);
    QFETCH(QString, key);

    const QString shown = vusk::cellIdToHex(typed, QLocale(locale)).value_or("-");
    QCOMPARE(shown, hex);
    QCOMPARE(vusk::cellKeyFromHex(shown), key);
}

QTEST_APPLESS_MAIN(TestCellIdConversion)
#include "tst_cellidconversion.moc"
