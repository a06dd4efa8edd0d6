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
#include <QStyle>
#include <QTest>
#include <QUrl>

namespace {

QLabel *label(QWidget *window, const QString &name)
{
    if (auto *found = window->findChild<QLabel *>(name))
        return found;
    qFatal("no label %s", qPrintable(name));
}

// The label's text is drawn in the ink: no pixel strays outside the colours between
// the background and the ink, and some pixels are the ink itself.
void verifyDrawnIn(QLabel *label, const QColor &ink)
{
    const QColor paper = label->palette().color(label->backgroundRole());
    const QImage image = label->grab().toImage();
    int inked = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const QColor pixel = image.pixelColor(i % image.width(), i / image.width());
        int off = 0, fromInk = 0;
        for (const auto channel : {&QColor::red, &QColor::green, &QColor::blue}) {
            const int p = (pixel.*channel)(), a = (paper.*channel)(), b = (ink.*channel)();
            off = std::max({off, std::min(a, b) - p, p - std::max(a, b)});
            fromInk += std::abs(p - b);
        }
        QVERIFY2(off <= 8, qPrintable(label->objectName() + " has a pixel of " + pixel.name()));
        inked += fromInk < 60;
    }
    QVERIFY2(inked >= 10, qPrintable(label->objectName() + " shows no " + ink.name()));
}

// One text of a window: whole, in its face, legible and clear of its neighbour.
struct Text
{
    QString which, name, pattern;
    bool bold, enabled;
    QString neighbour;                 // below or to the right
    QString toolTip = {}, bullet = {}; // links only: the hint and the picture before it
};

} // namespace

Q_DECLARE_METATYPE(Text)

class TestSecondaryWindows : public QObject
{
    Q_OBJECT

public slots: // stands in for the browser
    void browse(const QUrl &url) { m_opened.append(url.toString()); }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler("https", this, "browse");
        m_owner.resize(393, 366);
        m_owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_owner));
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }

    void frame_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QPoint>("ownerCentre"); // share of the screen, in per cent
        QTest::addColumn<Qt::Key>("key");        // pressed last: only Escape leaves the window open
        QTest::addColumn<QStringList>("entries"); // counted afresh at every opening
        const auto row = [](const char *name, const char *which, QPoint centre, Qt::Key key,
                            const QStringList &entries = {}) {
            QTest::newRow(name) << which << centre << key << entries;
        };
        row("information, an empty entry counts, escape", "frmInfo", {50, 50}, Qt::Key_Escape,
            {"0x1A2B\t62\ta", "", "0xF\t1\tb"});
        row("information, beyond 16 bits, owner bottom right, space", "frmInfo", {100, 100},
            Qt::Key_Space, QStringList(40000, "x"));
        row("about, escape", "frmAbout", {50, 50}, Qt::Key_Escape);
        row("about, owner top left, enter", "frmAbout", {0, 0}, Qt::Key_Enter);
        row("about, owner bottom right, return", "frmAbout", {100, 100}, Qt::Key_Return);
    }

    void frame()
    {
        QFETCH(QString, which);
        QFETCH(QPoint, ownerCentre);
        QFETCH(Qt::Key, key);
        QFETCH(QStringList, entries);
        const bool info = which == "frmInfo";
        const QRect screen = m_owner.screen()->availableGeometry();
        QRect owner = m_owner.geometry();
        owner.moveCenter(screen.topLeft() + QPoint(screen.width() * ownerCentre.x() / 100,
                                                   screen.height() * ownerCentre.y() / 100));
        m_owner.setGeometry(owner);
        QTRY_COMPARE(m_owner.geometry(), owner);

        m_list.setStringList(entries);
        // Twice, with one entry more the second time; Escape leaves closing to the close box.
        for (int opening = 0; opening < 2; ++opening, m_list.insertRows(m_list.rowCount(), 1)) {
            open(which, [&](QDialog *window) {
                if (info)
                    QCOMPARE(label(window, "lblBTSCount")->text(),
                             QString::number(m_list.rowCount()));
                QCOMPARE(window->windowTitle(), info ? "Информация" : " О VUSK...");
                // A fixed tool window with a close box only, modal over its owner.
                QCOMPARE(window->windowType(), Qt::Tool);
                QCOMPARE(window->windowFlags() &
                             (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint),
                         Qt::WindowCloseButtonHint);
                const QSize client = info ? QSize(219, 145) : QSize(367, 249);
                QCOMPARE(window->size(), client);
                QVERIFY(window->minimumSize() == client && window->maximumSize() == client);
                QCOMPARE(window->parentWidget(), &m_owner);
                QCOMPARE(QApplication::activeModalWidget(), window);
                // Centred over the owner, as far as the screen allows.
                QVERIFY(screen.contains(window->geometry()));
                const QPoint off = window->geometry().center() - owner.center();
                QVERIFY(ownerCentre != QPoint(50, 50) || off.manhattanLength() <= 1);
                // The button is the only control that takes the focus.
                auto *close = window->findChild<QPushButton *>("cmdClose");
                QCOMPARE(close->text(), "Закрыть");
                QTRY_COMPARE(QApplication::focusWidget(), close);
                QTest::keyClick(close, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), close);
                QVERIFY(window->rect().contains(close->geometry()));
                if (!info) { // the white band lies behind everything, the pictures on it
                    QLabel *band = label(window, "Label3");
                    QCOMPARE(window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(),
                             band);
                    QVERIFY(band->autoFillBackground());
                    QCOMPARE(band->palette().color(band->backgroundRole()), QColor(Qt::white));
                    for (const char *name : {"Image1", "Image2", "Image3", "Image4", "Image5"})
                        QVERIFY2(!label(window, name)->pixmap().isNull(), name);
                }
                QTest::keyClick(close, key);
                QCOMPARE(window->isVisible(), key == Qt::Key_Escape);
            });
        }
    }

    void texts_data()
    {
        QTest::addColumn<Text>("text");
        // The version shows major, minor and the fourth number, never the third.
        const QStringList v = QString(VUSK_VERSION).split('.');
        const QString version = QString("v%1\\.%2 build %3").arg(v[0], v[1], v[3]);
        const QList<std::pair<const char *, Text>> rows = {
            {"towers", {"frmInfo", "Label1", "Количество вышек:", true, true, "lblBTSCount"}},
            {"towers count", {"frmInfo", "lblBTSCount", "0", false, true, ""}},
            {"repeats", {"frmInfo", "Label2", "Есть повторы:", true, false, "lblRepeats"}},
            {"repeats value", {"frmInfo", "lblRepeats", "\\[N/A\\]", false, false, ""}},
            {"file size", {"frmInfo", "Label3", "Размер файла, кб:", true, false, "lblFileSize"}},
            {"file size value", {"frmInfo", "lblFileSize", "\\[N/A\\]", false, false, ""}},
            {"title",
             {"frmAbout", "Label1", "VUSK: GUI для GPS Plugin by .+", true, true, "Label5"}},
            {"version", {"frmAbout", "lblAppVer", version, false, true, "Label6"}},
            {"author", {"frmAbout", "Label5", "Автор VUSK: .+", false, true, "Label6"}},
            {"description",
             {"frmAbout", "Label6",
              "VUSK - это программа для удобной работы с файлами содержащими адреса вышек "
              "оператора сотовой связи \\(ОпСоС\\)\\. .+",
              false, true, "Label2"}},
            {"thanks",
             {"frmAbout", "Label2",
              "Огромное спасибо сайту .+ и всем кто помогает улучшать наши любимые .+'и\\.", false,
              true, "lblPhoneSite"}},
            {"place", {"frmAbout", "Label4", ".+", false, true, ""}},
            {"tool site",
             {"frmAbout", "lblToolSite", "https://flasher.example.net/", false, true, "",
              "Прошивальщик", "Image5"}},
            {"phone site",
             {"frmAbout", "lblPhoneSite", "https://phones.example.org/", false, true, "",
              "Все для телефонов Мобифон", "Image2"}}};
        for (const auto &[tag, text] : rows)
            QTest::newRow(tag) << text;
    }

    void texts()
    {
        QFETCH(Text, text);
        m_list.setStringList({});
        open(text.which, [&](QDialog *window) {
            QLabel *shown = label(window, text.name);
            const QRegularExpression expected(QRegularExpression::anchoredPattern(text.pattern));
            QVERIFY2(expected.match(shown->text()).hasMatch(), qPrintable(shown->text()));
            QCOMPARE(shown->font().bold(), text.bold);
            QCOMPARE(shown->isEnabled(), text.enabled);
            QCOMPARE(shown->autoFillBackground(), text.which == "frmInfo"); // opaque there only
            verifyFitsText(shown);
            QVERIFY(window->rect().contains(shown->geometry()));
            const bool isLink = !text.bullet.isEmpty();
            QCOMPARE(shown->cursor().shape(), isLink ? Qt::BitmapCursor : Qt::ArrowCursor);
            if (text.name == "lblAppVer")
                verifyDrawnIn(shown, shown->palette().color(QPalette::Dark));
            if (isLink) {
                QLabel *link = shown;
                QCOMPARE(link->toolTip(), text.toolTip);
                QCOMPARE(link->cursor().hotSpot(), QPoint(12, 5));
                QVERIFY(link->font().underline());
                verifyDrawnIn(link, link->palette().color(QPalette::Link));
                // Its bullet is in front of it, on its line.
                QLabel *mark = label(window, text.bullet);
                QVERIFY(!mark->pixmap().isNull() && mark->geometry().right() < link->x());
                QVERIFY(mark->y() >= link->y() &&
                        mark->geometry().bottom() <= link->geometry().bottom());
                // A left click opens the address, any other does not, and the window stays.
                m_opened.clear();
                QTest::mouseClick(link, Qt::LeftButton);
                QTest::mouseClick(link, Qt::RightButton);
                QTest::mouseClick(link, Qt::LeftButton);
                QCOMPARE(m_opened, QStringList(2, link->text()));
                QCOMPARE(QApplication::activeModalWidget(), window);
            }
            if (text.neighbour.isEmpty())
                return;
            // Where the text itself ends, within its label, against its neighbour's box.
            const QFontMetrics metrics = shown->fontMetrics();
            const QRect ink = QStyle::alignedRect(
                Qt::LeftToRight, shown->alignment() & Qt::AlignVertical_Mask,
                {metrics.horizontalAdvance(shown->text()),
                 shown->wordWrap() ? shown->heightForWidth(shown->width()) : metrics.height()},
                shown->geometry());
            const QRect next = label(window, text.neighbour)->geometry();
            QVERIFY2(next.x() < shown->geometry().center().x() ? ink.bottom() < next.y()
                                                               : ink.right() + 1 < next.x(),
                     qPrintable(text.neighbour));
        });
    }

private:
    // Opens the window as the main window's menu does and hands it to whileOpen
    // from inside its modal loop; every showing must unload the window again.
    void open(const QString &which, const std::function<void(QDialog *)> &whileOpen)
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
            vusk::frmInfo::showFor(&m_list, &m_owner);
        else
            vusk::frmAbout::showFor(&m_owner);
        QVERIFY2(shown, qPrintable(which + " was not shown modally"));
        QVERIFY2(!window, qPrintable(which + " outlived its showing"));
    }

    QStringListModel m_list;
    QWidget m_owner;
    QStringList m_opened;
};

QTEST_MAIN(TestSecondaryWindows)
#include "tst_secondarywindows.moc"
