#include "frmabout.h"
#include "frminfo.h"
#include "frmmain.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>
#include <map>

using vusk::frmAbout;
using vusk::frmInfo;
using vusk::frmMain;

namespace {

// Relative luminance and contrast ratio as WCAG 2 defines them.
double luminance(QRgb pixel)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
           0.0722 * channel(qBlue(pixel));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the inkiest pixel against the commonest one, which is the
// ground the text stands on.
double textContrast(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const QRgb ground =
        std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
            return a.second < b.second;
        })->first;
    double best = 1;
    for (const auto &[pixel, count] : counts)
        best = std::max(best, contrast(pixel, ground));
    return best;
}

QPalette darkPalette()
{
    // Light text on dark grey, and a highlight too dark to mark a link there,
    // as some dark themes have it.
    QPalette dark = QApplication::style()->standardPalette();
    const std::pair<QPalette::ColorRole, QColor> colours[] = {
        {QPalette::Window, QColor(53, 53, 53)},     {QPalette::WindowText, QColor(238, 238, 236)},
        {QPalette::Base, QColor(45, 45, 45)},       {QPalette::Text, QColor(238, 238, 236)},
        {QPalette::Button, QColor(60, 60, 60)},     {QPalette::ButtonText, QColor(238, 238, 236)},
        {QPalette::Highlight, QColor(21, 83, 158)}, {QPalette::Link, QColor(120, 170, 255)},
    };
    for (const auto &[role, colour] : colours)
        dark.setColor(role, colour);
    return dark;
}

} // namespace

class TestReadability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void textsStandOut_data();
    void textsStandOut();
    void closeButtonsFitLargeFont_data();
    void closeButtonsFitLargeFont();
};

void TestReadability::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void TestReadability::cleanup()
{
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setFont(QFont());
}

void TestReadability::textsStandOut_data()
{
    QTest::addColumn<QString>("palette");
    QTest::addColumn<QString>("window");
    for (const char *palette : {"light", "dark"})
        for (const char *window : {"main", "info", "about"})
            QTest::addRow("%s %s", palette, window) << palette << window;
    // Windows' own inactive highlight is the window colour.
    QTest::newRow("inactive about") << "inactive"
                                    << "about";
}

void TestReadability::textsStandOut()
{
    QFETCH(QString, palette);
    QFETCH(QString, window);
    if (palette == "dark")
        QApplication::setPalette(darkPalette());
    if (palette == "inactive") {
        QPalette inactive = QApplication::palette();
        inactive.setColor(QPalette::Inactive, QPalette::Highlight,
                          inactive.color(QPalette::Inactive, QPalette::Window));
        QApplication::setPalette(inactive);
    }

    frmMain main;
    QStringListModel list;
    std::unique_ptr<QWidget> shown;
    QStringList texts, links;
    if (window == "main") {
        main.findChild<QLineEdit *>("txtCellID")->setText("12345");
        main.findChild<QLineEdit *>("txtChannel")->setText("17");
        main.findChild<QLineEdit *>("txtLocation")->setText("Тула");
        texts = QStringList{"Label1",          "Label2",     "Label3",     "Label4",    "Label5",
                            "Label6",          "Label7",     "Label8",     "txtCellID", "txtHEXVal",
                            "txtOutputString", "txtChannel", "txtLocation"};
    } else if (window == "info") {
        shown = std::make_unique<frmInfo>(&list, &main);
        texts = QStringList{"Label1", "lblBTSCount"};
    } else {
        shown = std::make_unique<frmAbout>(&main);
        texts = QStringList{"Label1", "Label5", "Label4", "Label6", "Label2"};
        links = QStringList{"lblPhoneSite", "lblToolSite"};
    }
    QWidget *top = shown ? shown.get() : &main;
    top->show();
    QVERIFY(QTest::qWaitForWindowExposed(top));
    if (palette == "inactive") {
        main.show();
        main.activateWindow();
        QTRY_VERIFY(main.isActiveWindow());
    }
    const QImage image = top->grab().toImage();

    QStringList faint;
    for (const QString &name : texts + links) {
        QWidget *widget = top->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        QRect area(widget->mapTo(top, QPoint()), widget->size());
        // Only the inside of a box: its frame is the theme's own drawing.
        if (qobject_cast<QLineEdit *>(widget))
            area.adjust(3, 3, -3, -3);
        const double measured = textContrast(image, area);
        if (measured < (links.contains(name) ? 3.0 : 4.5))
            faint.append(QStringLiteral("%1 %2:1").arg(name).arg(measured, 0, 'f', 2));
    }
    QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral(", "))));
}

void TestReadability::closeButtonsFitLargeFont_data()
{
    QTest::addColumn<bool>("about");
    QTest::newRow("info") << false;
    QTest::newRow("about") << true;
}

void TestReadability::closeButtonsFitLargeFont()
{
    QFETCH(bool, about);
    QFont large = QApplication::font();
    large.setPointSize(14);
    QApplication::setFont(large);

    QStringListModel list;
    std::unique_ptr<QWidget> window;
    if (about)
        window = std::make_unique<frmAbout>(nullptr);
    else
        window = std::make_unique<frmInfo>(&list, nullptr);
    window->show();
    auto *button = window->findChild<QPushButton *>("cmdClose");
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QRect needed = button->fontMetrics().boundingRect(button->text());
    QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
             qPrintable(QStringLiteral("%1x%2 in %3x%4")
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(room.width())
                            .arg(room.height())));
}

QTEST_MAIN(TestReadability)
#include "tst_readability.moc"
