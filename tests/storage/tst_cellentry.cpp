#include "cellentry.h"

#include <QTest>

using vusk::BuildCellEntry;
using vusk::CellEntryFields;
using vusk::SplitCellEntry;

namespace {
constexpr auto noChannel = false;
constexpr auto withChannel = true;
} // namespace

class TestCellEntry : public QObject
{
    Q_OBJECT

private slots:
    void build_data();
    void build();
    void split_data();
    void split();
    void roundTrip_data();
    void roundTrip();
};

void TestCellEntry::build_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("entry");

    QTest::newRow("typical") << QStringLiteral("0x1A2B") << QStringLiteral("62")
                             << QStringLiteral("X") << QStringLiteral("0x1A2B\t62\tX");
    QTest::newRow("all empty") << QString() << QString() << QString() << QStringLiteral("\t\t");
    QTest::newRow("empty channel") << QStringLiteral("0xF") << QString() << QStringLiteral("Центр")
                                   << QStringLiteral("0xF\t\tЦентр");
    QTest::newRow("empty description")
        << QStringLiteral("0xF") << QStringLiteral("1") << QString() << QStringLiteral("0xF\t1\t");
    QTest::newRow("blanks kept") << QStringLiteral(" 0xF ") << QStringLiteral(" 62 ")
                                 << QStringLiteral("  ул. Ленина 1  ")
                                 << QStringLiteral(" 0xF \t 62 \t  ул. Ленина 1  ");
    QTest::newRow("case kept") << QStringLiteral("0xab") << QStringLiteral("x")
                               << QStringLiteral("Dd") << QStringLiteral("0xab\tx\tDd");
    QTest::newRow("long fields not cut")
        << QStringLiteral("0x1234567") << QStringLiteral("123456") << QString(300, QChar(u'Ж'))
        << QStringLiteral("0x1234567\t123456\t") + QString(300, QChar(u'Ж'));
    QTest::newRow("tab in a field stored")
        << QStringLiteral("0xF") << QStringLiteral("6\t2") << QStringLiteral("a\tb")
        << QStringLiteral("0xF\t6\t2\ta\tb");
}

void TestCellEntry::build()
{
    QFETCH(QString, key);
    QFETCH(QString, channel);
    QFETCH(QString, description);
    QFETCH(QString, entry);

    QCOMPARE(BuildCellEntry(key, channel, description), entry);
}

void TestCellEntry::split_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("hasChannel");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("description");

    // K, tab, C, tab, D
    QTest::newRow("K C D") << QStringLiteral("0x1A2B\t62\tX") << QStringLiteral("0x1A2B")
                           << withChannel << QStringLiteral("62") << QStringLiteral("X");
    QTest::newRow("K C D, key cut to 6")
        << QStringLiteral("0x1A2B3C\t62\tX") << QStringLiteral("0x1A2B") << withChannel
        << QStringLiteral("62") << QStringLiteral("X");
    // K, tab, C, tab, D, tab, E
    QTest::newRow("K C D E") << QStringLiteral("0x1A2B\t62\tD\tE") << QStringLiteral("0x1A2B")
                             << withChannel << QStringLiteral("62") << QStringLiteral("D\tE");
    QTest::newRow("further tabs kept in description")
        << QStringLiteral("0xF\t1\t\t\tD\t") << QStringLiteral("0xF") << withChannel
        << QStringLiteral("1") << QStringLiteral("\t\tD\t");
    // K, tab, tab, D
    QTest::newRow("K empty-channel D") << QStringLiteral("0x1A2B\t\tD") << QStringLiteral("0x1A2B")
                                       << withChannel << QString() << QStringLiteral("D");
    // K, tab, C
    QTest::newRow("K C") << QStringLiteral("0x1A2B\t62") << QStringLiteral("0x1A2B") << noChannel
                         << QString() << QStringLiteral("62");
    // K (no tab)
    QTest::newRow("K short, no tab") << QStringLiteral("0xF") << QStringLiteral("0xF") << noChannel
                                     << QString() << QStringLiteral("0xF");
    QTest::newRow("no tab, longer than 6")
        << QStringLiteral("Москва, центр") << QStringLiteral("Москва") << noChannel << QString()
        << QStringLiteral("Москва, центр");
    QTest::newRow("no tab, exactly 6") << QStringLiteral("0x1A2B") << QStringLiteral("0x1A2B")
                                       << noChannel << QString() << QStringLiteral("0x1A2B");
    // empty
    QTest::newRow("empty") << QString() << QString() << noChannel << QString() << QString();

    QTest::newRow("key shorter than 6")
        << QStringLiteral("0xF\t62\tX") << QStringLiteral("0xF") << withChannel
        << QStringLiteral("62") << QStringLiteral("X");
    QTest::newRow("first field longer than 6, single tab")
        << QStringLiteral("0x12345\tX") << QStringLiteral("0x1234") << noChannel << QString()
        << QStringLiteral("X");
    QTest::newRow("first field longer than 6, two tabs")
        << QStringLiteral("0x12345\t62\tX") << QStringLiteral("0x1234") << withChannel
        << QStringLiteral("62") << QStringLiteral("X");
    QTest::newRow("empty channel vs none: two tabs only")
        << QStringLiteral("\t\t") << QString() << withChannel << QString() << QString();
    QTest::newRow("empty channel vs none: one tab only")
        << QStringLiteral("\t") << QString() << noChannel << QString() << QString();
    QTest::newRow("empty key") << QStringLiteral("\t62\tX") << QString() << withChannel
                               << QStringLiteral("62") << QStringLiteral("X");
    QTest::newRow("empty description") << QStringLiteral("0xF\t62\t") << QStringLiteral("0xF")
                                       << withChannel << QStringLiteral("62") << QString();
    QTest::newRow("blanks kept") << QStringLiteral(" 0xF \t 62 \t D ") << QStringLiteral(" 0xF ")
                                 << withChannel << QStringLiteral(" 62 ") << QStringLiteral(" D ");
    QTest::newRow("line feed is text")
        << QStringLiteral("0xF\t6\n2\ta\nb") << QStringLiteral("0xF") << withChannel
        << QStringLiteral("6\n2") << QStringLiteral("a\nb");
}

void TestCellEntry::split()
{
    QFETCH(QString, entry);
    QFETCH(QString, key);
    QFETCH(bool, hasChannel);
    QFETCH(QString, channel);
    QFETCH(QString, description);

    const CellEntryFields fields = SplitCellEntry(entry);
    QCOMPARE(fields.key, key);
    QCOMPARE(fields.channel.has_value(), hasChannel);
    if (hasChannel)
        QCOMPARE(*fields.channel, channel);
    QCOMPARE(fields.description, description);
}

void TestCellEntry::roundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("description");

    const QStringList keys = {QStringLiteral("0x0"), QStringLiteral("0xF"), QStringLiteral("0x1F"),
                              QStringLiteral("0xABC"), QStringLiteral("0x1A2B")};
    const QStringList channels = {QString(), QStringLiteral("62"), QStringLiteral("9999"),
                                  QStringLiteral(" 1 ")};
    const QStringList descriptions = {QString(), QStringLiteral("X"),
                                      QStringLiteral("ул. Ленина, 1"),
                                      QStringLiteral("  blanks  ")};
    for (const QString &key : keys) {
        for (const QString &channel : channels) {
            for (const QString &description : descriptions) {
                QTest::addRow("%s|%s|%s", qPrintable(key), qPrintable(channel),
                              qPrintable(description))
                    << key << channel << description;
            }
        }
    }
}

void TestCellEntry::roundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, channel);
    QFETCH(QString, description);

    const CellEntryFields fields = SplitCellEntry(BuildCellEntry(key, channel, description));
    QCOMPARE(fields.key, key);
    QVERIFY(fields.channel.has_value());
    QCOMPARE(*fields.channel, channel);
    QCOMPARE(fields.description, description);
}

QTEST_GUILESS_MAIN(TestCellEntry)
#include "tst_cellentry.moc"
