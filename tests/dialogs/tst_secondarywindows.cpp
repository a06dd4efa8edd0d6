#include "frmabout.h"
#include "frminfo.h"
#include "layoutchecks.h"
#include "modalwatcher.h"
#include "readable.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QTest>

namespace {

// An opening of a window, over an owner placed on the screen.
struct Opening
{
    QString window;        // frmInfo or frmAbout
    QPoint ownerAt;        // its centre, as a share of the screen in per cent
    Qt::Key key;           // pressed last: only Escape leaves the window open
    qsizetype entries = 0; // how many; one more at the second opening
};

// One text of a window: whole, in its face and legible.
struct Text
{
    QString label, pattern;
    bool bold = false, enabled = true;
    QString toolTip = {}, bullet = {}; // links only: the hint and the picture before it
};

QString focused()
{
    const QWidget *control = QApplication::focusWidget();
    return control ? control->objectName() : "nothing";
}

} // namespace

Q_DECLARE_METATYPE(Opening)
Q_DECLARE_METATYPE(Text)

class TestSecondaryWindows : public QObject
{
    Q_OBJECT

private slots:
    void frame_data()
    {
        QTest::addColumn<Opening>("opening");
        const auto row = [](const char *tag, const Opening &opening) {
            QTest::newRow(tag) << opening;
        };
        row("information, escape",
            {.window = "frmInfo", .ownerAt = {40, 60}, .key = Qt::Key_Escape, .entries = 3});
        row("information, beyond 16 bits, owner bottom right, space",
            {.window = "frmInfo", .ownerAt = {100, 100}, .key = Qt::Key_Space, .entries = 40000});
        row("about, owner top left, enter",
            {.window = "frmAbout", .ownerAt = {0, 0}, .key = Qt::Key_Enter});
        row("about, owner bottom right, return",
            {.window = "frmAbout", .ownerAt = {100, 100}, .key = Qt::Key_Return});
    }

    void frame()
    {
        QFETCH(Opening, opening);
        const bool info = opening.window == "frmInfo";
        const QRect screen = m_owner.screen()->availableGeometry();
        QRect owner(QPoint(), QSize(393, 366)); // as large as the main window
        owner.moveCenter(screen.topLeft() + QPoint(screen.width() * opening.ownerAt.x() / 100,
                                                   screen.height() * opening.ownerAt.y() / 100));
        m_owner.setGeometry(owner);
        m_owner.show();
        QTRY_COMPARE(m_owner.geometry(), owner);
        m_owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_owner));

        // Twice, with one entry more the second time, as the main window's menu opens it,
        // which must unload it again; Escape leaves closing to the close box.
        for (int time = 1; time <= 2 && !QTest::currentTestFailed(); ++time) {
            const qsizetype count = opening.entries + time - 1;
            QPointer<QWidget> shown;
            ModalWatcher watcher([&](QWidget *window) {
                shown = window;
                const auto closeLast = qScopeGuard([window] { window->close(); });
                if (info)
                    COMPARE_TEXT(qPrintable(QString("count at opening %1").arg(time)),
                                 window->findChild<QLabel *>("lblBTSCount")->text(),
                                 QString::number(count));
                COMPARE_TEXT("title", window->windowTitle(), info ? "Информация" : " О VUSK...");
                // A fixed tool window with a close box only, modal over its owner.
                const auto buttons = Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint;
                QCOMPARE(window->windowFlags() & (Qt::WindowType_Mask | buttons),
                         Qt::Tool | Qt::WindowCloseButtonHint);
                QCOMPARE(window->minimumSize(), window->maximumSize());
                // Centred over the owner, as far as the screen's edges allow.
                const QRect placed = window->geometry();
                QVERIFY2(screen.contains(placed),
                         qPrintable(QDebug::toString(placed) + " reaches off the screen " +
                                    QDebug::toString(screen)));
                QVERIFY2(opening.ownerAt.x() % 100 == 0 ||
                             (placed.center() - owner.center()).manhattanLength() <= 1,
                         qPrintable(QDebug::toString(placed) + " is not centred over " +
                                    QDebug::toString(owner)));
                // Active, even where tool windows come up inactive, with the button, the
                // only control that takes the focus, focused.
                QTRY_VERIFY(window->isActiveWindow());
                auto *close = window->findChild<QPushButton *>("cmdClose");
                COMPARE_TEXT("button", close->text(), "Закрыть");
                QTRY_COMPARE(focused(), "cmdClose");
                QTest::keyClick(close, Qt::Key_Tab);
                QCOMPARE(focused(), "cmdClose");
                // No text runs into another control; wrapped text takes all its lines.
                verifyCaptionsClear(window);
                for (const QLabel *text : window->findChildren<QLabel *>()) {
                    const QSize lines(text->width(), text->heightForWidth(text->width()));
                    const QRect area = QStyle::alignedRect(Qt::LeftToRight, text->alignment(),
                                                           lines, text->geometry());
                    for (const QWidget *other : window->findChildren<QWidget *>())
                        QVERIFY2(!text->wordWrap() || other == text ||
                                     !area.intersects(other->geometry()),
                                 qPrintable(text->objectName() + " on " + other->objectName()));
                }
                QVERIFY2(window->rect().contains(close->geometry()),
                         qPrintable("button " + QDebug::toString(close->geometry()) +
                                    " not in the window"));
                if (!info) { // the white band lies behind everything, the pictures on it
                    auto *band = window->findChild<QLabel *>("Label3");
                    const auto *lowest =
                        window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)[0];
                    QCOMPARE(lowest->objectName(), band->objectName());
                    QVERIFY(band->autoFillBackground());
                    QCOMPARE(band->palette().color(band->backgroundRole()), QColor(Qt::white));
                    for (const char *name : {"Image1", "Image2", "Image3", "Image4", "Image5"})
                        QVERIFY2(!window->findChild<QLabel *>(name)->pixmap().isNull(), name);
                }
                QTest::keyClick(close, opening.key);
                QCOMPARE(window->isVisible(), opening.key == Qt::Key_Escape);
            });
            info ? vusk::frmInfo::showFor(count, &m_owner) : vusk::frmAbout::showFor(&m_owner);
            if (QTest::currentTestFailed())
                qInfo("at opening %d of 2", time);
            QVERIFY2(watcher.answered(), "the window did not come up");
            QVERIFY2(!shown, "the window is kept after it has closed");
        }
    }

    void texts_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<Text>("text");
        // The version shows major, minor and the fourth number, never the third.
        const QStringList v = QString(VUSK_VERSION).split('.');
        const QString version = QString("v%1\\.%2 build %3").arg(v[0], v[1], v[3]);
        const auto info = [](const char *tag, const Text &text) {
            QTest::addRow("frmInfo: %s", tag) << QString("frmInfo") << text;
        };
        const auto about = [](const char *tag, const Text &text) {
            QTest::addRow("frmAbout: %s", tag) << QString("frmAbout") << text;
        };
        info("towers", {.label = "Label1", .pattern = "Количество вышек:", .bold = true});
        info("towers count", {.label = "lblBTSCount", .pattern = "0"});
        info("repeats",
             {.label = "Label2", .pattern = "Есть повторы:", .bold = true, .enabled = false});
        info("repeats value", {.label = "lblRepeats", .pattern = "\\[N/A\\]", .enabled = false});
        info("file size",
             {.label = "Label3", .pattern = "Размер файла, кб:", .bold = true, .enabled = false});
        info("file size value", {.label = "lblFileSize", .pattern = "\\[N/A\\]", .enabled = false});
        about("title",
              {.label = "Label1", .pattern = "VUSK: GUI для GPS Plugin by .+", .bold = true});
        about("version", {.label = "lblAppVer", .pattern = version});
        about("author", {.label = "Label5", .pattern = "Автор VUSK: .+"});
        about("description",
              {.label = "Label6",
               .pattern = "VUSK - это программа для удобной работы с файлами содержащими адреса "
                          "вышек оператора сотовой связи \\(ОпСоС\\)\\. .+"});
        about("thanks",
              {.label = "Label2",
               .pattern =
                   "Огромное спасибо сайту .+ и всем кто помогает улучшать наши любимые .+'и\\."});
        about("place", {.label = "Label4", .pattern = ".+"});
        about("tool site", {.label = "lblToolSite",
                            .pattern = "https://flasher\\.example\\.net/",
                            .toolTip = "Прошивальщик",
                            .bullet = "Image5"});
        about("phone site", {.label = "lblPhoneSite",
                             .pattern = "https://phones\\.example\\.org/",
                             .toolTip = "Все для телефонов Мобифон",
                             .bullet = "Image2"});
    }

    void texts()
    {
        QFETCH(QString, window);
        QFETCH(Text, text);
        vusk::frmInfo info(0, nullptr);
        vusk::frmAbout about(nullptr);
        const QWidget *shownIn = window == "frmInfo" ? static_cast<QWidget *>(&info) : &about;
        const QLabel *shown = shownIn->findChild<QLabel *>(text.label);
        const QRegularExpression expected(QRegularExpression::anchoredPattern(text.pattern));
        QVERIFY2(expected.match(shown->text()).hasMatch(),
                 qUtf8Printable("«" + shown->text() + "» is not «" + text.pattern + "»"));
        QCOMPARE(QFont::Weight(shown->font().weight()), text.bold ? QFont::Bold : QFont::Normal);
        QCOMPARE(shown->isEnabled(), text.enabled);
        QCOMPARE(shown->autoFillBackground(), window == "frmInfo"); // opaque there only
        verifyFitsText(shown);
        QVERIFY2(shownIn->rect().contains(shown->geometry()),
                 qPrintable(QDebug::toString(shown->geometry()) + " is not within the window"));
        const bool link = !text.bullet.isEmpty();
        QCOMPARE(shown->cursor().shape(), link ? Qt::BitmapCursor : Qt::ArrowCursor);
        if (!link)
            return;
        COMPARE_TEXT("hint", shown->toolTip(), text.toolTip);
        QCOMPARE(shown->cursor().hotSpot(), QPoint(12, 5));
        QVERIFY(shown->font().underline());
        // Its bullet is in front of it, on its line.
        const QLabel *mark = shownIn->findChild<QLabel *>(text.bullet);
        QVERIFY(!mark->pixmap().isNull());
        QVERIFY2(mark->geometry().right() < shown->x() && mark->y() >= shown->y() &&
                     mark->geometry().bottom() <= shown->geometry().bottom(),
                 qPrintable("bullet " + QDebug::toString(mark->geometry()) + ", link " +
                            QDebug::toString(shown->geometry())));
    }

private:
    QWidget m_owner;
};

QTEST_MAIN(TestSecondaryWindows)
#include "tst_secondarywindows.moc"
