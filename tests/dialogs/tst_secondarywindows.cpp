#include "frmabout.h"
#include "frminfo.h"
#include "layoutchecks.h"
#include "modalwatcher.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QTest>

namespace {

// One text of a window: whole, in its face and legible.
struct Text
{
    QString which, name, pattern;
    bool bold = false, enabled = true;
    QString toolTip = {}, bullet = {}; // links only: the hint and the picture before it
};

} // namespace

Q_DECLARE_METATYPE(Text)

class TestSecondaryWindows : public QObject
{
    Q_OBJECT

private slots:
    void frame_data()
    {
        QTest::addColumn<bool>("info");          // the Information window, else About
        QTest::addColumn<QPoint>("ownerCentre"); // share of the screen, in per cent
        QTest::addColumn<Qt::Key>("key");        // pressed last: only Escape leaves the window open
        QTest::addColumn<QStringList>("entries"); // counted afresh at every opening
        const auto row = [](const char *name, bool info, QPoint centre, Qt::Key key,
                            const QStringList &entries = {}) {
            QTest::newRow(name) << info << centre << key << entries;
        };
        row("information, an empty entry counts, escape", true, {40, 60}, Qt::Key_Escape,
            {"0x1A2B\t62\ta", "", "0xF\t1\tb"});
        row("information, beyond 16 bits, owner bottom right, space", true, {100, 100},
            Qt::Key_Space, QStringList(40000, "x"));
        row("about, escape", false, {40, 60}, Qt::Key_Escape);
        row("about, owner top left, enter", false, {0, 0}, Qt::Key_Enter);
        row("about, owner bottom right, return", false, {100, 100}, Qt::Key_Return);
    }

    void frame()
    {
        QFETCH(bool, info);
        QFETCH(QPoint, ownerCentre);
        QFETCH(Qt::Key, key);
        QFETCH(QStringList, entries);
        const QRect screen = m_owner.screen()->availableGeometry();
        QRect owner(QPoint(), QSize(393, 366)); // as large as the main window
        owner.moveCenter(screen.topLeft() + QPoint(screen.width() * ownerCentre.x() / 100,
                                                   screen.height() * ownerCentre.y() / 100));
        m_owner.setGeometry(owner);
        m_owner.show();
        QTRY_COMPARE(m_owner.geometry(), owner);
        m_owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_owner));

        // Twice, with one entry more the second time, as the main window's menu opens it,
        // which must unload it again; Escape leaves closing to the close box.
        for (qsizetype opening = 0, count = entries.size(); opening < 2; ++opening, ++count) {
            QPointer<QWidget> shown;
            ModalWatcher watcher([&](QWidget *window) {
                shown = window;
                const auto closeLast = qScopeGuard([window] { window->close(); });
                if (info)
                    QCOMPARE(window->findChild<QLabel *>("lblBTSCount")->text(),
                             QString::number(count));
                QCOMPARE(window->windowTitle(), info ? "Информация" : " О VUSK...");
                // A fixed tool window with a close box only, modal over its owner.
                const auto buttons = Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint;
                QCOMPARE(window->windowFlags() & (Qt::WindowType_Mask | buttons),
                         Qt::Tool | Qt::WindowCloseButtonHint);
                QCOMPARE(window->minimumSize(), window->maximumSize());
                // Centred over the owner, as far as the screen's edges allow.
                QVERIFY(screen.contains(window->geometry()));
                const QPoint off = window->geometry().center() - owner.center();
                QVERIFY(ownerCentre.x() % 100 == 0 || off.manhattanLength() <= 1);
                // Active, even where tool windows come up inactive, with the button, the
                // only control that takes the focus, focused.
                QTRY_VERIFY(window->isActiveWindow());
                auto *close = window->findChild<QPushButton *>("cmdClose");
                QCOMPARE(close->text(), "Закрыть");
                QTRY_COMPARE(QApplication::focusWidget(), close);
                QTest::keyClick(close, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), close);
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
                QVERIFY(window->rect().contains(close->geometry()));
                if (!info) { // the white band lies behind everything, the pictures on it
                    auto *band = window->findChild<QLabel *>("Label3");
                    QCOMPARE(window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(),
                             band);
                    QVERIFY(band->autoFillBackground() &&
                            band->palette().color(band->backgroundRole()) == Qt::white);
                    for (const char *name : {"Image1", "Image2", "Image3", "Image4", "Image5"})
                        QVERIFY2(!window->findChild<QLabel *>(name)->pixmap().isNull(), name);
                }
                QTest::keyClick(close, key);
                QCOMPARE(window->isVisible(), key == Qt::Key_Escape);
            });
            info ? vusk::frmInfo::showFor(count, &m_owner) : vusk::frmAbout::showFor(&m_owner);
            QVERIFY(watcher.answered() && !shown);
        }
    }

    void texts_data()
    {
        QTest::addColumn<Text>("text");
        // The version shows major, minor and the fourth number, never the third.
        const QStringList v = QString(VUSK_VERSION).split('.');
        const QString version = QString("v%1\\.%2 build %3").arg(v[0], v[1], v[3]);
        const auto row = [](const char *tag, const Text &text) {
            QTest::newRow(tag) << text;
        };
        row("towers", {"frmInfo", "Label1", "Количество вышек:", true});
        row("towers count", {"frmInfo", "lblBTSCount", "0"});
        row("repeats", {"frmInfo", "Label2", "Есть повторы:", true, false});
        row("repeats value", {"frmInfo", "lblRepeats", "\\[N/A\\]", false, false});
        row("file size", {"frmInfo", "Label3", "Размер файла, кб:", true, false});
        row("file size value", {"frmInfo", "lblFileSize", "\\[N/A\\]", false, false});
        row("title", {"frmAbout", "Label1", "VUSK: GUI для GPS Plugin by .+", true});
        row("version", {"frmAbout", "lblAppVer", version});
        row("author", {"frmAbout", "Label5", "Автор VUSK: .+"});
        row("description", {"frmAbout", "Label6",
                            "VUSK - это программа для удобной работы с файлами содержащими адреса "
                            "вышек оператора сотовой связи \\(ОпСоС\\)\\. .+"});
        row("thanks",
            {"frmAbout", "Label2",
             "Огромное спасибо сайту .+ и всем кто помогает улучшать наши любимые .+'и\\."});
        row("place", {"frmAbout", "Label4", ".+"});
        row("tool site", {"frmAbout", "lblToolSite", "https://flasher\\.example\\.net/", false,
                          true, "Прошивальщик", "Image5"});
        row("phone site", {"frmAbout", "lblPhoneSite", "https://phones\\.example\\.org/", false,
                           true, "Все для телефонов Мобифон", "Image2"});
    }

    void texts()
    {
        QFETCH(Text, text);
        vusk::frmInfo info(0, nullptr);
        vusk::frmAbout about(nullptr);
        QWidget *window = text.which == "frmInfo" ? static_cast<QWidget *>(&info) : &about;
        QLabel *shown = window->findChild<QLabel *>(text.name);
        const QRegularExpression expected(QRegularExpression::anchoredPattern(text.pattern));
        QVERIFY2(expected.match(shown->text()).hasMatch(), qPrintable(shown->text()));
        QCOMPARE(shown->font().bold(), text.bold);
        QCOMPARE(shown->isEnabled(), text.enabled);
        QCOMPARE(shown->autoFillBackground(), text.which == "frmInfo"); // opaque there only
        verifyFitsText(shown);
        QVERIFY(window->rect().contains(shown->geometry()));
        const bool link = !text.bullet.isEmpty();
        QCOMPARE(shown->cursor().shape(), link ? Qt::BitmapCursor : Qt::ArrowCursor);
        if (!link)
            return;
        QCOMPARE(shown->toolTip(), text.toolTip);
        QCOMPARE(shown->cursor().hotSpot(), QPoint(12, 5));
        QVERIFY(shown->font().underline());
        // Its bullet is in front of it, on its line.
        auto *mark = window->findChild<QLabel *>(text.bullet);
        QVERIFY(!mark->pixmap().isNull() && mark->geometry().right() < shown->x());
        QVERIFY(mark->y() >= shown->y() && mark->geometry().bottom() <= shown->geometry().bottom());
    }

private:
    QWidget m_owner;
};

QTEST_MAIN(TestSecondaryWindows)
#include "tst_secondarywindows.moc"
