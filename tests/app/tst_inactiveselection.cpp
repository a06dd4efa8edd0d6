#include "tabstopdelegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStringListModel>
#include <QTest>

// A row's text takes the colours of the window's state, as its background does:
// Windows' inactive highlight is near-white, so active-colour text on it vanishes.
class TestInactiveSelection : public QObject
{
    Q_OBJECT

private slots:
    void textColourFollowsWindowState_data();
    void textColourFollowsWindowState();
};

void TestInactiveSelection::textColourFollowsWindowState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("ink");

    const int enabled = QStyle::State_Enabled;
    QTest::newRow("selected, active")
        << (enabled | QStyle::State_Selected | QStyle::State_Active) << QColor(Qt::white);
    QTest::newRow("selected, inactive") << (enabled | QStyle::State_Selected) << QColor(Qt::black);
    QTest::newRow("plain, active") << (enabled | QStyle::State_Active) << QColor(Qt::blue);
    QTest::newRow("plain, inactive") << enabled << QColor(Qt::red);
}

void TestInactiveSelection::textColourFollowsWindowState()
{
    QFETCH(int, state);
    QFETCH(QColor, ink);

    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Highlight, Qt::darkBlue);
    palette.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Active, QPalette::Text, Qt::blue);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(240, 240, 240));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::Text, Qt::red);

    QStringListModel model({"0x1A2B\t12\tTula"});
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, 24);
    option.state = QStyle::State(state);
    option.palette = palette;
    option.font.setPixelSize(20);
    option.font.setStyleStrategy(QFont::NoAntialias); // text pixels in the pen's colour only
    option.fontMetrics = QFontMetrics(option.font);

    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    vusk::TabStopDelegate().paint(&painter, option, model.index(0));
    painter.end();

    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixelColor(x, y) == ink;
    QVERIFY2(inked > 20, qPrintable(QString::number(inked)));
}

QTEST_MAIN(TestInactiveSelection)
#include "tst_inactiveselection.moc"
