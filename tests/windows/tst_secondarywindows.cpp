#include "frmabout.h"
#include "frminfo.h"
#include "layoutchecks.h"
#include "modalwatcher.h"
#include "version.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringListModel>
#include <QTest>
#include <QUrl>

using vusk::frmAbout;
using vusk::frmInfo;

namespace {

QLabel *label(QWidget *window, const QString &name)
{
    auto *found = window->findChild<QLabel *>(name);
    if (!found)
        qFatal("no label %s", qPrintable(name));
    return found;
}

QPushButton *closeButton(QWidget *window)
{
    return window->findChild<QPushButton *>("cmdClose");
}

// Every pixel lies between the background and the ink, and some are ink: text
// drawn in any other colour shows up.
void verifyDrawnIn(QLabel *label, const QColor &ink)
{
    const QColor background = label->palette().color(label->backgroundRole());
    const QImage image = label->grab().toImage();
    const auto between = [](int value, int a, int b) {
        constexpr int slack = 8;
        return value >= qMin(a, b) - slack && value <= qMax(a, b) + slack;
    };
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            QVERIFY2(between(pixel.red(), background.red(), ink.red()) &&
                         between(pixel.green(), background.green(), ink.green()) &&
                         between(pixel.blue(), background.blue(), ink.blue()),
                     qPrintable(QStringLiteral("%1: %2 at %3,%4 is not %5")
                                    .arg(label->objectName(), pixel.name())
                                    .arg(x)
                                    .arg(y)
                                    .arg(ink.name())));
            const int distance = qAbs(pixel.red() - background.red()) +
                                 qAbs(pixel.green() - background.green()) +
                                 qAbs(pixel.blue() - background.blue());
            inked += distance > 60;
        }
    }
    QVERIFY2(inked >= 10, qPrintable(label->objectName()));
}

} // namespace

// Stands in for the browser.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened.append(url.toString()); }
};

class TestSecondaryWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void frame_data();
    void frame();
    void keys_data();
    void keys();

    void infoCountIsReadAtEveryOpening_data();
    void infoCountIsReadAtEveryOpening();
    void infoRows_data();
    void infoRows();

    void aboutLayers();
    void aboutVersion();
    void aboutTexts_data();
    void aboutTexts();
    void aboutLinks_data();
    void aboutLinks();

private:
    // Opens the window through its showFor(), as the main window's menu does, and
    // hands it to whileOpen from inside its own modal loop. Every showing must
    // unload the window again.
    void open(const QString &which, const std::function<void(QDialog *)> &whileOpen);

    QStringListModel m_list;
    std::unique_ptr<QWidget> m_owner;
    UrlRecorder m_browser;
};

void TestSecondaryWindows::init()
{
    m_list.setStringList({});
    m_browser.opened.clear();
    QDesktopServices::setUrlHandler("https", &m_browser, "open");
    m_owner = std::make_unique<QWidget>();
    m_owner->resize(393, 366);
    m_owner->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_owner.get()));
}

void TestSecondaryWindows::cleanup()
{
    m_owner.reset();
    QDesktopServices::unsetUrlHandler("https");
}

void TestSecondaryWindows::open(const QString &which,
                                const std::function<void(QDialog *)> &whileOpen)
{
    bool shown = false;
    QPointer<QDialog> window;
    ModalWatcher watcher(
        [&](QWidget *modal) {
            window = qobject_cast<QDialog *>(modal);
            shown = window && window->objectName() == which;
            if (shown)
                whileOpen(window);
            else
                modal->close();
        },
        5000);
    if (which == "frmInfo")
        frmInfo::showFor(&m_list, m_owner.get());
    else
        frmAbout::showFor(m_owner.get());
    QVERIFY2(shown, qPrintable(which + " was not shown modally"));
    QVERIFY2(!window, qPrintable(which + " outlived its showing"));
}

void TestSecondaryWindows::frame_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");

    QTest::newRow("information") << QString("frmInfo") << QString("Информация") << QSize(219, 145);
    QTest::newRow("about") << QString("frmAbout") << QString(" О VUSK...") << QSize(367, 249);
}

void TestSecondaryWindows::frame()
{
    QFETCH(QString, which);
    QFETCH(QString, caption);
    QFETCH(QSize, client);

    open(which, [&](QDialog *window) {
        QCOMPARE(window->windowTitle(), caption);
        // A fixed tool window with a close box only.
        QCOMPARE(window->windowType(), Qt::Tool);
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowContextHelpButtonHint)));
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize(), client);
        QCOMPARE(window->maximumSize(), client);

        QCOMPARE(window->parentWidget(), m_owner.get());
        QVERIFY(window->isModal());
        QCOMPARE(QApplication::activeModalWidget(), window);
        const QPoint offCentre = window->geometry().center() - m_owner->geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));

        // The button is the only control that takes the focus.
        QPushButton *close = closeButton(window);
        QCOMPARE(close->text(), QStringLiteral("Закрыть"));
        QTRY_COMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(close, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        window->close();
    });
}

void TestSecondaryWindows::keys_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("closes");

    for (const char *which : {"frmInfo", "frmAbout"}) {
        QTest::addRow("%s escape", which) << which << Qt::Key_Escape << false;
        QTest::addRow("%s enter", which) << which << Qt::Key_Enter << true;
        QTest::addRow("%s return", which) << which << Qt::Key_Return << true;
        QTest::addRow("%s space", which) << which << Qt::Key_Space << true;
    }
}

void TestSecondaryWindows::keys()
{
    QFETCH(QString, which);
    QFETCH(Qt::Key, key);
    QFETCH(bool, closes);

    open(which, [&](QDialog *window) {
        QTRY_COMPARE(QApplication::focusWidget(), closeButton(window));
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(window->isVisible(), !closes);
        window->close();
    });
    QVERIFY(m_browser.opened.isEmpty());
}

void TestSecondaryWindows::infoCountIsReadAtEveryOpening_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("shownWithOneMore");

    QTest::newRow("empty") << QStringList() << false << QString("0") << QString("1");
    QTest::newRow("an empty entry counts, closed with the close box")
        << QStringList{"0x1A2B\t62\ta", "", "0xF\t1\tb"} << true << QString("3") << QString("4");
    QTest::newRow("beyond 16 bits")
        << QStringList(40000, "0x1\t1\tx") << false << QString("40000") << QString("40001");
}

void TestSecondaryWindows::infoCountIsReadAtEveryOpening()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, closeBox);
    QFETCH(QString, shown);
    QFETCH(QString, shownWithOneMore);

    m_list.setStringList(entries);
    for (const QString &expected : {shown, shownWithOneMore}) {
        open("frmInfo", [&](QDialog *window) {
            QCOMPARE(label(window, "lblBTSCount")->text(), expected);
            if (closeBox)
                window->close();
            else
                QTest::mouseClick(closeButton(window), Qt::LeftButton);
        });
        if (QTest::currentTestFailed())
            return;
        m_list.insertRows(m_list.rowCount(), 1);
    }
}

void TestSecondaryWindows::infoRows_data()
{
    QTest::addColumn<QString>("captionName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("enabled");

    const auto row = [](const char *tag, QString captionName, QString caption, QString valueName,
                        QString value, bool enabled) {
        QTest::newRow(tag) << captionName << caption << valueName << value << enabled;
    };
    row("towers", "Label1", "Количество вышек:", "lblBTSCount", "0", true);
    row("repeats", "Label2", "Есть повторы:", "lblRepeats", "[N/A]", false);
    row("file size", "Label3", "Размер файла, кб:", "lblFileSize", "[N/A]", false);
}

void TestSecondaryWindows::infoRows()
{
    QFETCH(QString, captionName);
    QFETCH(QString, caption);
    QFETCH(QString, valueName);
    QFETCH(QString, value);
    QFETCH(bool, enabled);

    open("frmInfo", [&](QDialog *window) {
        QLabel *captionLabel = label(window, captionName);
        QLabel *valueLabel = label(window, valueName);
        QCOMPARE(captionLabel->text(), caption);
        QCOMPARE(valueLabel->text(), value);
        QCOMPARE(captionLabel->isEnabled(), enabled);
        QCOMPARE(valueLabel->isEnabled(), enabled);
        QVERIFY(captionLabel->font().bold());
        QVERIFY(!valueLabel->font().bold());
        QVERIFY(captionLabel->autoFillBackground() && valueLabel->autoFillBackground());
        verifyFitsText(captionLabel);
        verifyFitsText(valueLabel);
        QVERIFY(captionLabel->geometry().right() < valueLabel->x());
        window->close();
    });
}

void TestSecondaryWindows::aboutLayers()
{
    open("frmAbout", [](QDialog *window) {
        // Front to back: the button on top, the white band at the bottom.
        const QStringList frontToBack{"cmdClose",     "Image5", "lblToolSite", "Image2",
                                      "lblPhoneSite", "Label2", "Label6",      "Label5",
                                      "Label4",       "Image1", "Image4",      "lblAppVer",
                                      "Label1",       "Image3", "Label3"};
        QStringList stacked;
        for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            stacked.prepend(child->objectName());
        QCOMPARE(stacked, frontToBack);

        QLabel *band = label(window, "Label3");
        QVERIFY(band->autoFillBackground());
        QCOMPARE(band->palette().color(band->backgroundRole()), QColor(Qt::white));
        for (const char *name : {"Image1", "Image2", "Image3", "Image4", "Image5"})
            QVERIFY2(!label(window, name)->pixmap().isNull(), name);
        window->close();
    });
}

void TestSecondaryWindows::aboutVersion()
{
    open("frmAbout", [](QDialog *window) {
        QLabel *version = label(window, "lblAppVer");
        QCOMPARE(version->text(), QStringLiteral("v%1.%2 build %3")
                                      .arg(vusk::version::major)
                                      .arg(vusk::version::minor)
                                      .arg(vusk::version::revision));
        QVERIFY2(QRegularExpression("^v\\d+\\.\\d+ build \\d+$").match(version->text()).hasMatch(),
                 qPrintable(version->text()));
        QCOMPARE(version->x(), 308);
        verifyFitsText(version);
        QVERIFY(version->geometry().right() < window->width());
        verifyDrawnIn(version, version->palette().color(QPalette::Dark));
        window->close();
    });
}

void TestSecondaryWindows::aboutTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<QString>("nextBelow");

    const auto row = [](const char *tag, QString name, QString begins, QString ends,
                        QString nextBelow) {
        QTest::newRow(tag) << name << begins << ends << nextBelow;
    };
    row("title", "Label1", "VUSK: GUI для GPS Plugin by ", "", "Label5");
    row("author", "Label5", "Автор VUSK: ", "", "Label6");
    row("description", "Label6",
        "VUSK - это программа для удобной работы с файлами содержащими адреса вышек оператора "
        "сотовой связи (ОпСоС). ",
        "", "Label2");
    row("thanks", "Label2", "Огромное спасибо сайту ", "'и.", "lblPhoneSite");
    row("place", "Label4", "", "", "");
}

void TestSecondaryWindows::aboutTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, begins);
    QFETCH(QString, ends);
    QFETCH(QString, nextBelow);

    open("frmAbout", [&](QDialog *window) {
        QLabel *text = label(window, name);
        QVERIFY2(text->text().startsWith(begins) && text->text().endsWith(ends),
                 qPrintable(text->text()));
        QVERIFY(text->text().size() > begins.size() + ends.size());
        verifyFitsText(text);
        QVERIFY(window->rect().contains(text->geometry()));
        QCOMPARE(text->cursor().shape(), Qt::ArrowCursor);
        if (nextBelow.isEmpty()) {
            window->close();
            return;
        }
        // The text stays clear of what follows it.
        const int textHeight =
            text->wordWrap() ? text->heightForWidth(text->width()) : text->fontMetrics().height();
        const int spare = text->height() - textHeight;
        const Qt::Alignment vertical = text->alignment() & Qt::AlignVertical_Mask;
        const int textBottom = text->geometry().bottom() + 1 -
                               (vertical == Qt::AlignTop      ? spare
                                : vertical == Qt::AlignBottom ? 0
                                                              : spare / 2);
        QVERIFY2(textBottom <= label(window, nextBelow)->y(), qPrintable(nextBelow));
        window->close();
    });
}

void TestSecondaryWindows::aboutLinks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("tool site") << QString("lblToolSite") << QString("Прошивальщик");
    QTest::newRow("phone site") << QString("lblPhoneSite") << QString("Все для телефонов Мобифон");
}

void TestSecondaryWindows::aboutLinks()
{
    QFETCH(QString, name);
    QFETCH(QString, toolTip);

    open("frmAbout", [&](QDialog *window) {
        QLabel *link = label(window, name);
        QCOMPARE(link->toolTip(), toolTip);
        QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(link->cursor().hotSpot(), QPoint(12, 5));
        QVERIFY(link->font().underline());
        verifyFitsText(link);
        verifyDrawnIn(link, link->palette().color(QPalette::Highlight));

        // Each click opens the label's own text, and the window stays.
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_browser.opened, QStringList{link->text()});
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_browser.opened, QStringList(2, link->text()));
        QVERIFY(window->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), window);
        window->close();
    });
}

QTEST_MAIN(TestSecondaryWindows)
#include "tst_secondarywindows.moc"
