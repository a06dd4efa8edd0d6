#include "frmabout.h"
#include "frminfo.h"
#include "layoutchecks.h"
#include "modalwatcher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStringListModel>
#include <QTest>
#include <QUrl>

namespace {

QLabel *label(QWidget *window, const QString &name)
{
    auto *found = window->findChild<QLabel *>(name);
    if (!found)
        qFatal("no label %s", qPrintable(name));
    return found;
}

// The label's text is drawn in the ink: no pixel strays outside the colours between
// the background and the ink, and some pixels are the ink itself.
void verifyDrawnIn(QLabel *label, const QColor &ink)
{
    const QColor paper = label->palette().color(label->backgroundRole());
    const QImage image = label->grab().toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            int off = 0, fromInk = 0;
            for (const auto channel : {&QColor::red, &QColor::green, &QColor::blue}) {
                const int p = (pixel.*channel)(), a = (paper.*channel)(), b = (ink.*channel)();
                off = std::max({off, std::min(a, b) - p, p - std::max(a, b)});
                fromInk += std::abs(p - b);
            }
            QVERIFY2(off <= 8, qPrintable(label->objectName() + " has a pixel of " + pixel.name()));
            inked += fromInk < 60;
        }
    }
    QVERIFY2(inked >= 10, qPrintable(label->objectName() + " shows no " + ink.name()));
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
    void infoCount_data();
    void infoCount();
    void texts_data();
    void texts();
    void aboutLinks_data();
    void aboutLinks();

private:
    // Opens the window as the main window's menu does and hands it to whileOpen
    // from inside its modal loop; every showing must unload the window again.
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
            modal->close();
        },
        5000);
    if (which == "frmInfo")
        vusk::frmInfo::showFor(&m_list, m_owner.get());
    else
        vusk::frmAbout::showFor(m_owner.get());
    QVERIFY2(shown, qPrintable(which + " was not shown modally"));
    QVERIFY2(!window, qPrintable(which + " outlived its showing"));
}

void TestSecondaryWindows::frame_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QPoint>("ownerCentre"); // share of the screen, in per cent

    QTest::addColumn<Qt::Key>("key"); // pressed last: only Escape leaves the window open

    const auto row = [](const char *name, const char *which, QPoint ownerCentre, Qt::Key key) {
        const bool info = QString(which) == "frmInfo";
        QTest::newRow(name) << which << (info ? "Информация" : " О VUSK...")
                            << (info ? QSize(219, 145) : QSize(367, 249)) << ownerCentre << key;
    };
    row("information, escape", "frmInfo", {50, 50}, Qt::Key_Escape);
    row("information, owner in the bottom right corner, space", "frmInfo", {100, 100},
        Qt::Key_Space);
    row("about, escape", "frmAbout", {50, 50}, Qt::Key_Escape);
    row("about, owner in the top left corner, enter", "frmAbout", {0, 0}, Qt::Key_Enter);
    row("about, owner in the bottom right corner, return", "frmAbout", {100, 100}, Qt::Key_Return);
}

void TestSecondaryWindows::frame()
{
    QFETCH(QString, which);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QPoint, ownerCentre);
    QFETCH(Qt::Key, key);

    const QRect screen = m_owner->screen()->availableGeometry();
    QRect owner = m_owner->geometry();
    owner.moveCenter(screen.topLeft() + QPoint(screen.width() * ownerCentre.x() / 100,
                                               screen.height() * ownerCentre.y() / 100));
    m_owner->setGeometry(owner);
    QTRY_COMPARE(m_owner->geometry(), owner);

    open(which, [&](QDialog *window) {
        QCOMPARE(window->windowTitle(), caption);
        // A fixed tool window with a close box only, modal over its owner.
        QCOMPARE(window->windowType(), Qt::Tool);
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowContextHelpButtonHint)));
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize(), client);
        QCOMPARE(window->maximumSize(), client);
        QCOMPARE(window->parentWidget(), m_owner.get());
        QCOMPARE(QApplication::activeModalWidget(), window);
        // Centred over the owner, as far as the screen allows.
        QVERIFY(screen.contains(window->geometry()));
        if (ownerCentre == QPoint(50, 50)) {
            const QPoint off = window->geometry().center() - owner.center();
            QVERIFY2(off.manhattanLength() <= 1,
                     qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));
        }

        // The button is the only control that takes the focus.
        auto *close = window->findChild<QPushButton *>("cmdClose");
        QCOMPARE(close->text(), QString("Закрыть"));
        QTRY_COMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(close, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
        QVERIFY(window->rect().contains(close->geometry()));
        if (which == "frmAbout") {
            // The white band lies behind everything, the pictures on it.
            QLabel *band = label(window, "Label3");
            QCOMPARE(window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(), band);
            QVERIFY(band->autoFillBackground());
            QCOMPARE(band->palette().color(band->backgroundRole()), QColor(Qt::white));
            for (const char *name : {"Image1", "Image2", "Image3", "Image4", "Image5"})
                QVERIFY2(!label(window, name)->pixmap().isNull(), name);
        }
        QTest::keyClick(close, key);
        QCOMPARE(window->isVisible(), key == Qt::Key_Escape);
    });
}

void TestSecondaryWindows::infoCount_data()
{
    // The count is read afresh at every opening, whichever way the window was closed.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("shownWithOneMore");

    QTest::newRow("empty list") << QStringList() << false << "0"
                                << "1";
    QTest::newRow("an empty entry counts; closed with the close box")
        << QStringList{"0x1A2B\t62\ta", "", "0xF\t1\tb"} << true << "3"
        << "4";
    QTest::newRow("beyond 16 bits") << QStringList(40000, "x") << false << "40000"
                                    << "40001";
}

void TestSecondaryWindows::infoCount()
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
                QTest::mouseClick(window->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
            QVERIFY(!window->isVisible());
        });
        m_list.insertRows(m_list.rowCount(), 1);
    }
}

void TestSecondaryWindows::texts_data()
{
    // Each text whole, in its face, legible and clear of its neighbour (below or right).
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("neighbour");

    // The version shows major, minor and the fourth number, never the third.
    const QStringList v = QString(VUSK_VERSION).split('.');
    const QString version = QString("v%1\\.%2 build %3").arg(v[0], v[1], v[3]);
    const auto row = [](const char *tag, const char *which, const char *name,
                        const QString &pattern, bool bold, bool enabled, const char *neighbour) {
        QTest::newRow(tag) << which << name << pattern << bold << enabled << neighbour;
    };
    row("towers", "frmInfo", "Label1", "Количество вышек:", true, true, "lblBTSCount");
    row("towers count", "frmInfo", "lblBTSCount", "0", false, true, "");
    row("repeats", "frmInfo", "Label2", "Есть повторы:", true, false, "lblRepeats");
    row("repeats value", "frmInfo", "lblRepeats", "\\[N/A\\]", false, false, "");
    row("file size", "frmInfo", "Label3", "Размер файла, кб:", true, false, "lblFileSize");
    row("file size value", "frmInfo", "lblFileSize", "\\[N/A\\]", false, false, "");
    row("title", "frmAbout", "Label1", "VUSK: GUI для GPS Plugin by .+", true, true, "Label5");
    row("version", "frmAbout", "lblAppVer", version, false, true, "Label6");
    row("author", "frmAbout", "Label5", "Автор VUSK: .+", false, true, "Label6");
    row("description", "frmAbout", "Label6",
        "VUSK - это программа для удобной работы с файлами содержащими адреса вышек оператора "
        "сотовой связи \\(ОпСоС\\)\\. .+",
        false, true, "Label2");
    row("thanks", "frmAbout", "Label2",
        "Огромное спасибо сайту .+ и всем кто помогает улучшать "
        "наши любимые .+'и\\.",
        false, true, "lblPhoneSite");
    row("place", "frmAbout", "Label4", ".+", false, true, "");
}

void TestSecondaryWindows::texts()
{
    QFETCH(QString, which);
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, bold);
    QFETCH(bool, enabled);
    QFETCH(QString, neighbour);

    open(which, [&](QDialog *window) {
        QLabel *text = label(window, name);
        const QRegularExpression expected(QRegularExpression::anchoredPattern(pattern));
        QVERIFY2(expected.match(text->text()).hasMatch(), qPrintable(text->text()));
        QCOMPARE(text->font().bold(), bold);
        QCOMPARE(text->isEnabled(), enabled);
        QCOMPARE(text->autoFillBackground(), which == "frmInfo"); // opaque there only
        verifyFitsText(text);
        QVERIFY(window->rect().contains(text->geometry()));
        QCOMPARE(text->cursor().shape(), Qt::ArrowCursor);
        if (name == "lblAppVer")
            verifyDrawnIn(text, text->palette().color(QPalette::Dark));
        if (neighbour.isEmpty())
            return;
        // Where the text itself ends, within its label.
        const QFontMetrics metrics = text->fontMetrics();
        const int height =
            text->wordWrap() ? text->heightForWidth(text->width()) : metrics.height();
        const int spare = text->height() - height;
        const Qt::Alignment vertical = text->alignment() & Qt::AlignVertical_Mask;
        const int bottom = text->geometry().bottom() + 1 -
                           (vertical == Qt::AlignTop      ? spare
                            : vertical == Qt::AlignBottom ? 0
                                                          : spare / 2);
        const QRect next = label(window, neighbour)->geometry();
        if (next.x() < text->geometry().center().x())
            QVERIFY2(bottom <= next.y(), qPrintable(neighbour));
        else
            QVERIFY2(text->x() + metrics.horizontalAdvance(text->text()) < next.x(),
                     qPrintable(neighbour));
    });
}

void TestSecondaryWindows::aboutLinks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("bullet");

    QTest::newRow("tool site") << "lblToolSite"
                               << "https://flasher.example.net/"
                               << "Прошивальщик"
                               << "Image5";
    QTest::newRow("phone site") << "lblPhoneSite"
                                << "https://phones.example.org/"
                                << "Все для телефонов Мобифон"
                                << "Image2";
}

void TestSecondaryWindows::aboutLinks()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, toolTip);
    QFETCH(QString, bullet);

    open("frmAbout", [&](QDialog *window) {
        QLabel *link = label(window, name);
        QCOMPARE(link->text(), address);
        QCOMPARE(link->toolTip(), toolTip);
        QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(link->cursor().hotSpot(), QPoint(12, 5));
        QVERIFY(link->font().underline());
        verifyFitsText(link);
        verifyDrawnIn(link, link->palette().color(QPalette::Highlight));
        // Its bullet is in front of it, on its line.
        QLabel *mark = label(window, bullet);
        QVERIFY(!mark->pixmap().isNull() && mark->geometry().right() < link->x());
        QVERIFY(mark->y() >= link->y() && mark->geometry().bottom() <= link->geometry().bottom());

        // A left click opens the address, any other does not, and the window stays.
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(m_browser.opened, QStringList(2, address));
        QCOMPARE(QApplication::activeModalWidget(), window);
    });
}

QTEST_MAIN(TestSecondaryWindows)
#include "tst_secondarywindows.moc"
