#include "celllistmodel.h"
#include "frmmain.h"
#include "layoutchecks.h"
#include "modalwatcher.h"

#include <QAction>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using vusk::frmMain;

namespace {

const QString tab = QStringLiteral("\t");

// Stands in for the browser: notes every address the desktop is asked to open.
class Browser : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// The text of a label in the window that is open now, then closes it with its
// button.
ModalWatcher::Answer readAndClose(const char *windowName, const char *labelName, QString *text)
{
    return [=](QWidget *modal) {
        if (modal->objectName() == QLatin1String(windowName))
            *text = modal->findChild<QLabel *>(QLatin1String(labelName))->text();
        if (auto *close = modal->findChild<QPushButton *>(QStringLiteral("cmdClose")))
            QTest::mouseClick(close, Qt::LeftButton);
        else
            modal->close();
    };
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsAsDescribed();
    void windowFrame();
    void menus_data();
    void menus();
    void captionsFitAndDoNotOverlap();
    void controlsStayInsideTheirFrames();
    void tabOrder();

    void typingKeyByKey_data();
    void typingKeyByKey();
    void conversionThroughTheBox_data();
    void conversionThroughTheBox();
    void deletingTheCellIdKeepsHex();
    void boxesRefuseTypingBeyondTheirLimit_data();
    void boxesRefuseTypingBeyondTheirLimit();

    void addAppendsSelectsAndKeepsBoxes();
    void addWithEmptyCellIdDoesNothing();
    void addWithEmptyChannelAndDescription();
    void addWhileAnotherEntryIsSelected();
    void doubleClickOnPictureAddsOnce();
    void selectingSplitsIntoBoxes_data();
    void selectingSplitsIntoBoxes();
    void selectingByKeyboard();
    void editSelectedAndAddGivesSecondEntry();

    void removeWithoutSelectionWarns();
    void removeLeavesNoSelectionAndBoxesAlone();
    void menuItemsBehaveLikePictures();
    void shortcutsWorkFromEveryBox_data();
    void shortcutsWorkFromEveryBox();

    void secondaryWindowsShowFreshContents();
    void webSiteMenuOpensTheProductSite();

    void tabsLineUpAtStops();
    void exitClosesWithoutAsking();

private:
    template <typename T> T *child(const char *name) const
    {
        auto *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    QLineEdit *box(const char *name) const { return child<QLineEdit>(name); }
    QListView *list() const { return child<QListView>("lstOutput"); }
    QStringList entries() const { return m_window->cellList().entries(); }
    int selectedRow() const;
    void typeEntry(const QString &cellId, const QString &channel, const QString &location);
    void clickPicture(const char *name);
    void expectWarningOnRemove(void (TestFrmMain::*remove)());
    void clickRemove() { clickPicture("imgRemoveFromFile"); }
    // Keys go to the active window; without a window manager nothing gives the
    // activation back to the main window when a modal window closes.
    void pressKey(Qt::Key key)
    {
        m_window->activateWindow();
        QTRY_VERIFY(m_window->isActiveWindow());
        QTest::keyClick(m_window.get(), key);
    }

    std::unique_ptr<frmMain> m_window;
};

void TestFrmMain::init()
{
    m_window = std::make_unique<frmMain>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestFrmMain::cleanup()
{
    m_window.reset();
}

int TestFrmMain::selectedRow() const
{
    const QModelIndexList rows = list()->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TestFrmMain::typeEntry(const QString &cellId, const QString &channel, const QString &location)
{
    for (const char *name : {"txtCellID", "txtChannel", "txtLocation"})
        box(name)->clear();
    typeText(box("txtCellID"), cellId);
    typeText(box("txtChannel"), channel);
    typeText(box("txtLocation"), location);
}

void TestFrmMain::clickPicture(const char *name)
{
    QTest::mouseClick(child<QLabel>(name), Qt::LeftButton, {}, QPoint(8, 8));
}

void TestFrmMain::startsAsDescribed()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("VUSK v1.0.5 [engineer build]"));
    QCOMPARE(list()->model()->rowCount(), 0);
    QCOMPARE(box("txtCellID")->text(), QString());
    QCOMPARE(box("txtHEXVal")->text(), QStringLiteral("-"));
    QCOMPARE(box("txtOutputString")->text(), QStringLiteral("-"));
    QCOMPARE(box("txtChannel")->text(), QString());
    QCOMPARE(box("txtLocation")->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), box("txtCellID"));

    for (const char *name : {"txtHEXVal", "txtOutputString"}) {
        QVERIFY(box(name)->isReadOnly());
        QCOMPARE(box(name)->palette().color(QPalette::Base), QColor(224, 224, 224));
        QCOMPARE(box(name)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    QCOMPARE(box("txtLocation")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(child<QLabel>("imgAddToFile")->toolTip(), QStringLiteral("Добавить в файл"));
    QCOMPARE(child<QLabel>("imgRemoveFromFile")->toolTip(), QStringLiteral("Удалить из файла"));
    QCOMPARE(child<QLabel>("imgSaveToFile")->toolTip(), QString());
    for (const char *name : {"Image1", "Image2", "imgAddToFile", "imgRemoveFromFile",
                             "imgSaveToFile", "Image3", "Image6", "Image7", "Image8"})
        QVERIFY2(!child<QLabel>(name)->pixmap().isNull(), name);
    QVERIFY(!m_window->windowIcon().isNull());
}

void TestFrmMain::windowFrame()
{
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);

    QWidget *client = m_window->centralWidget();
    QCOMPARE(client->size(), QSize(393, 346));
    QCOMPARE(client->y(), m_window->menuBar()->height());
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QCOMPARE(m_window->height(), 346 + m_window->menuBar()->height());

    const QRect available = m_window->screen()->availableGeometry();
    const QPoint offCentre = m_window->geometry().center() - available.center();
    QVERIFY2(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

void TestFrmMain::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("shortcuts");

    QTest::newRow("file") << QStringLiteral("mnuFile") << QStringLiteral("&Файл")
                          << QStringList{"mnuFileOpen",        "mnuFileSaveAs", "mnuFileSep1",
                                         "mnuFileInformation", "mnuFileSep2",   "mnuFileExit"}
                          << QStringList{"Открыть", "Сохранить как...", "", "Информация", "",
                                         "В&ыход"}
                          << QStringList{"Ctrl+O", "", "", "F2", "", ""};
    QTest::newRow("edit") << QStringLiteral("mnuEdit") << QStringLiteral("&Правка")
                          << QStringList{"mnuEditAdd", "mnuEditDelete"}
                          << QStringList{"Д&обавить", "Уда&лить"}
                          << QStringList{"Ctrl+A", "Ctrl+D"};
    QTest::newRow("help") << QStringLiteral("mnuHelp") << QStringLiteral("&?")
                          << QStringList{"mnuHelpWebSite", "mnuHelpSep1", "mnuHelpAbout"}
                          << QStringList{"Сайт VUSK", "", "&О программе..."}
                          << QStringList{"", "", "F1"};
}

void TestFrmMain::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, shortcuts);

    auto *qmenu = m_window->findChild<QMenu *>(menu);
    QVERIFY(qmenu);
    QCOMPARE(qmenu->title(), title);
    QVERIFY(m_window->menuBar()->actions().contains(qmenu->menuAction()));
    const QList<QAction *> actions = qmenu->actions();
    QCOMPARE(actions.size(), items.size());
    for (qsizetype i = 0; i < actions.size(); ++i) {
        QAction *action = actions.at(i);
        QCOMPARE(action->objectName(), items.at(i));
        QCOMPARE(action->isSeparator(), texts.at(i).isEmpty());
        if (action->isSeparator())
            continue;
        QCOMPARE(action->text(), texts.at(i));
        QCOMPARE(action->shortcut(), QKeySequence(shortcuts.at(i)));
        QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
    }
}

void TestFrmMain::captionsFitAndDoNotOverlap()
{
    for (QLabel *label : m_window->centralWidget()->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        verifyFitsText(label);
        if (QTest::currentTestFailed())
            return;
    }
    for (QGroupBox *frame : m_window->findChildren<QGroupBox *>())
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width() - 16,
                 qPrintable(frame->objectName()));

    // Captions read left to right, each clear of the next control on its row.
    const std::pair<const char *, const char *> neighbours[] = {
        {"Label1", "Label2"}, {"Label2", "Label3"}, {"Label3", "Label4"},
        {"Label6", "Image4"}, {"Label7", "Image5"}, {"Label8", "Image6"},
    };
    for (const auto &[left, right] : neighbours) {
        // The divider marks draw their line in the eighth pixel column.
        const int rightStart =
            child<QWidget>(right)->x() + (QByteArray(right).startsWith("Image") ? 7 : 0);
        QVERIFY2(
            child<QLabel>(left)->geometry().right() < rightStart,
            qPrintable(
                QStringLiteral("%1 runs into %2").arg(QLatin1String(left), QLatin1String(right))));
    }
    // Captions sit above their boxes, not over them.
    for (const auto &[caption, boxName] :
         {std::pair{"Label1", "txtCellID"}, std::pair{"Label5", "txtLocation"}})
        QVERIFY(child<QLabel>(caption)->geometry().bottom() < box(boxName)->y());
}

void TestFrmMain::controlsStayInsideTheirFrames()
{
    for (QGroupBox *frame : m_window->findChildren<QGroupBox *>()) {
        QVERIFY(m_window->centralWidget()->rect().contains(frame->geometry()));
        for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(frame->rect().contains(control->geometry()),
                     qPrintable(control->objectName()));
    }
}

void TestFrmMain::tabOrder()
{
    const QStringList expected{"txtCellID",  "txtHEXVal",   "txtOutputString",
                               "txtChannel", "txtLocation", "lstOutput"};
    QTRY_COMPARE(QApplication::focusWidget(), box("txtCellID"));
    QStringList seen{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size() + 1; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(seen.mid(0, expected.size()), expected);
    QCOMPARE(seen.last(), expected.first()); // and round again
}

void TestFrmMain::typingKeyByKey_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("hexAfterEachKey");
    QTest::addColumn<QStringList>("keyAfterEachKey");

    QTest::newRow("6699") << QStringLiteral("6699") << QStringList{"6", "42", "29D", "1A2B"}
                          << QStringList{"0x6", "0x42", "0x29D", "0x1A2B"};
    QTest::newRow("70000") << QStringLiteral("70000")
                           << QStringList{"7", "46", "2BC", "1B58", "11170"}
                           << QStringList{"0x7", "0x46", "0x2BC", "0x1B58", "0x1117"};
    QTest::newRow("minus one") << QStringLiteral("-1") << QStringList{"-", "FFFFF"}
                               << QStringList{"0x-", "0xFFFF"};
    QTest::newRow("letter first") << QStringLiteral("x5") << QStringList{"-", "-"}
                                  << QStringList{"0x-", "0x-"};
}

void TestFrmMain::typingKeyByKey()
{
    QFETCH(QString, keys);
    QFETCH(QStringList, hexAfterEachKey);
    QFETCH(QStringList, keyAfterEachKey);

    for (qsizetype i = 0; i < keys.size(); ++i) {
        QTest::keyClick(box("txtCellID"), keys.at(i).toLatin1());
        QCOMPARE(box("txtHEXVal")->text(), hexAfterEachKey.at(i));
        QCOMPARE(box("txtOutputString")->text(), keyAfterEachKey.at(i));
    }
}

void TestFrmMain::conversionThroughTheBox_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("key");

    QTest::newRow("99999") << QString() << QStringLiteral("99999") << QStringLiteral("1869F")
                           << QStringLiteral("0x1869");
    QTest::newRow("letters keep the previous hex")
        << QStringLiteral("6699") << QStringLiteral("abc") << QStringLiteral("1A2B")
        << QStringLiteral("0x1A2B");
    QTest::newRow("blanks around")
        << QString() << QStringLiteral(" 15 ") << QStringLiteral("F") << QStringLiteral("0xF");
    QTest::newRow("zero") << QString() << QStringLiteral("0") << QStringLiteral("0")
                          << QStringLiteral("0x0");
}

void TestFrmMain::conversionThroughTheBox()
{
    QFETCH(QString, first);
    QFETCH(QString, then);
    QFETCH(QString, hex);
    QFETCH(QString, key);

    QLineEdit *cellId = box("txtCellID");
    typeText(cellId, first);
    cellId->selectAll();
    typeText(cellId, then);
    QCOMPARE(cellId->text(), then);
    QCOMPARE(box("txtHEXVal")->text(), hex);
    QCOMPARE(box("txtOutputString")->text(), key);
}

void TestFrmMain::deletingTheCellIdKeepsHex()
{
    // A selection puts its own key in the key box; clearing the cell ID brings the
    // key back to the one built from the hex box.
    typeEntry(QStringLiteral("15"), QStringLiteral("1"), QStringLiteral("a"));
    m_window->cellList().append(QStringLiteral("0x77\t2\tb"));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    QCOMPARE(box("txtOutputString")->text(), QStringLiteral("0x77"));

    QLineEdit *cellId = box("txtCellID");
    cellId->setFocus();
    cellId->selectAll();
    QTest::keyClick(cellId, Qt::Key_Delete);
    QCOMPARE(cellId->text(), QString());
    QCOMPARE(box("txtHEXVal")->text(), QStringLiteral("F"));
    QCOMPARE(box("txtOutputString")->text(), QStringLiteral("0xF"));

    clickPicture("imgAddToFile"); // an empty cell ID adds nothing
    QCOMPARE(entries().size(), 1);
}

void TestFrmMain::boxesRefuseTypingBeyondTheirLimit_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("cell id") << QStringLiteral("txtCellID") << QStringLiteral("123456")
                             << QStringLiteral("12345");
    QTest::newRow("channel") << QStringLiteral("txtChannel") << QStringLiteral("12345")
                             << QStringLiteral("1234");
    const QString longText(300, QLatin1Char('w'));
    QTest::newRow("location has no limit") << QStringLiteral("txtLocation") << longText << longText;
}

void TestFrmMain::boxesRefuseTypingBeyondTheirLimit()
{
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    auto *target = m_window->findChild<QLineEdit *>(boxName);
    typeText(target, typed);
    QCOMPARE(target->text(), kept);
}

void TestFrmMain::addAppendsSelectsAndKeepsBoxes()
{
    typeEntry(QStringLiteral("6699"), QStringLiteral("62"), QStringLiteral("Улица Ленина, 1"));
    clickPicture("imgAddToFile");

    QCOMPARE(entries(), QStringList{QStringLiteral("0x1A2B\t62\tУлица Ленина, 1")});
    QCOMPARE(selectedRow(), 0);
    QCOMPARE(box("txtCellID")->text(), QStringLiteral("6699"));
    QCOMPARE(box("txtOutputString")->text(), QStringLiteral("0x1A2B"));
    QCOMPARE(box("txtChannel")->text(), QStringLiteral("62"));
    QCOMPARE(box("txtLocation")->text(), QStringLiteral("Улица Ленина, 1"));

    clickPicture("imgAddToFile");
    QCOMPARE(entries().size(), 2); // repeats are accepted
    QCOMPARE(selectedRow(), 1);
}

void TestFrmMain::addWithEmptyCellIdDoesNothing()
{
    typeEntry(QString(), QStringLiteral("62"), QStringLiteral("x"));
    clickPicture("imgAddToFile");
    QVERIFY(entries().isEmpty());
    QVERIFY(!QApplication::activeModalWidget());

    // Blanks are not empty: the add goes on with the key the box shows.
    typeText(box("txtCellID"), QStringLiteral(" "));
    clickPicture("imgAddToFile");
    QCOMPARE(entries(), QStringList{QStringLiteral("0x-\t62\tx")});
}

void TestFrmMain::addWithEmptyChannelAndDescription()
{
    typeEntry(QStringLiteral("15"), QString(), QString());
    clickPicture("imgAddToFile");
    QCOMPARE(entries(), QStringList{QStringLiteral("0xF\t\t")});

    typeText(box("txtChannel"), QStringLiteral("7"));
    typeText(box("txtLocation"), QStringLiteral("y"));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    // Clicking the already selected entry changes nothing; pick it afresh.
    list()->clearSelection();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    QCOMPARE(box("txtChannel")->text(), QString());
    QCOMPARE(box("txtLocation")->text(), QString());
}

void TestFrmMain::addWhileAnotherEntryIsSelected()
{
    typeEntry(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("first"));
    clickPicture("imgAddToFile");
    typeEntry(QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("second"));
    clickPicture("imgAddToFile");
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    QCOMPARE(selectedRow(), 0);

    typeEntry(QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("third"));
    clickPicture("imgAddToFile");
    QCOMPARE(entries(), (QStringList{"0x1\t1\tfirst", "0x2\t2\tsecond", "0x3\t3\tthird"}));
    QCOMPARE(selectedRow(), 2);
}

void TestFrmMain::doubleClickOnPictureAddsOnce()
{
    typeEntry(QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("d"));
    // What a double click delivers: press, release, press, double click, release.
    QLabel *add = child<QLabel>("imgAddToFile");
    QTest::mouseClick(add, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mousePress(add, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseDClick(add, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseRelease(add, Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(entries().size(), 1);

    // A press that leaves the picture before it is released is no click.
    QTest::mousePress(add, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseRelease(add, Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(entries().size(), 1);
}

void TestFrmMain::selectingSplitsIntoBoxes_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("description");

    // The channel box holds "keep" beforehand: an entry without a channel leaves it.
    QTest::newRow("three fields") << QStringLiteral("0x1A2B\t62\tX") << QStringLiteral("0x1A2B")
                                  << QStringLiteral("62") << QStringLiteral("X");
    QTest::newRow("short key") << QStringLiteral("0xF\t1\td") << QStringLiteral("0xF")
                               << QStringLiteral("1") << QStringLiteral("d");
    QTest::newRow("one tab keeps channel") << QStringLiteral("0x10\tonly") << QStringLiteral("0x10")
                                           << QStringLiteral("keep") << QStringLiteral("only");
    QTest::newRow("no tab") << QStringLiteral("0x12345678 text") << QStringLiteral("0x1234")
                            << QStringLiteral("keep") << QStringLiteral("0x12345678 text");
    QTest::newRow("long channel cut to four")
        << QStringLiteral("0x1\t123456\tx") << QStringLiteral("0x1") << QStringLiteral("1234")
        << QStringLiteral("x");
    QTest::newRow("extra tabs stay in description")
        << QStringLiteral("0x1\t2\ta\tb") << QStringLiteral("0x1") << QStringLiteral("2")
        << QStringLiteral("a\tb");
    QTest::newRow("empty entry") << QString() << QString() << QStringLiteral("keep") << QString();
}

void TestFrmMain::selectingSplitsIntoBoxes()
{
    QFETCH(QString, entry);
    QFETCH(QString, key);
    QFETCH(QString, channel);
    QFETCH(QString, description);

    typeText(box("txtChannel"), QStringLiteral("keep"));
    typeText(box("txtCellID"), QStringLiteral("99"));
    m_window->cellList().append(entry);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    QCOMPARE(selectedRow(), 0);
    QCOMPARE(box("txtOutputString")->text(), key);
    QCOMPARE(box("txtChannel")->text(), channel);
    QCOMPARE(box("txtLocation")->text(), description);
    // Selecting never touches the cell ID and hex boxes.
    QCOMPARE(box("txtCellID")->text(), QStringLiteral("99"));
    QCOMPARE(box("txtHEXVal")->text(), QStringLiteral("63"));

    // What the boxes show is what an add stores.
    clickPicture("imgAddToFile");
    QCOMPARE(entries().last(), key + tab + channel + tab + description);
}

void TestFrmMain::selectingByKeyboard()
{
    for (const char *entry : {"0x1\t1\tone", "0x2\t2\ttwo"})
        m_window->cellList().append(QString::fromUtf8(entry));
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    QTest::keyClick(list(), Qt::Key_Down);
    QCOMPARE(selectedRow(), 1);
    QCOMPARE(box("txtLocation")->text(), QStringLiteral("two"));
    QTest::keyClick(list(), Qt::Key_Up);
    QCOMPARE(box("txtLocation")->text(), QStringLiteral("one"));
}

void TestFrmMain::editSelectedAndAddGivesSecondEntry()
{
    typeEntry(QStringLiteral("6699"), QStringLiteral("62"), QStringLiteral("old"));
    clickPicture("imgAddToFile");
    box("txtCellID")->setText(QStringLiteral("1")); // key box now 0x1
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    list()->clearSelection();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(0, 0)).center());
    QCOMPARE(box("txtOutputString")->text(), QStringLiteral("0x1A2B"));

    box("txtLocation")->selectAll();
    typeText(box("txtLocation"), QStringLiteral("new"));
    clickPicture("imgAddToFile");
    QCOMPARE(entries(), (QStringList{"0x1A2B\t62\told", "0x1A2B\t62\tnew"}));
}

void TestFrmMain::expectWarningOnRemove(void (TestFrmMain::*remove)())
{
    MessageBoxSeen seen;
    auto watcher = watchMessageBox(&seen);
    (this->*remove)();
    QVERIFY(watcher->answered());
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("Выберите строку для удаления!"));
    QCOMPARE(seen.title, QStringLiteral("Предупреждение"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestFrmMain::removeWithoutSelectionWarns()
{
    expectWarningOnRemove(&TestFrmMain::clickRemove);
    QVERIFY(entries().isEmpty());

    m_window->cellList().append(QStringLiteral("0x1\t1\tone"));
    expectWarningOnRemove(&TestFrmMain::clickRemove); // entries, but none selected
    QCOMPARE(entries().size(), 1);
}

void TestFrmMain::removeLeavesNoSelectionAndBoxesAlone()
{
    for (const char *entry : {"0x1\t1\tone", "0x2\t2\ttwo", "0x3\t3\tthree"})
        m_window->cellList().append(QString::fromUtf8(entry));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualRect(list()->model()->index(1, 0)).center());
    QCOMPARE(box("txtLocation")->text(), QStringLiteral("two"));
    box("txtLocation")->setText(QStringLiteral("typed"));

    clickRemove();
    QCOMPARE(entries(), (QStringList{"0x1\t1\tone", "0x3\t3\tthree"}));
    QCOMPARE(selectedRow(), -1);
    QCOMPARE(box("txtLocation")->text(), QStringLiteral("typed"));
    QCOMPARE(box("txtOutputString")->text(), QStringLiteral("0x2"));

    expectWarningOnRemove(&TestFrmMain::clickRemove);
    QCOMPARE(entries().size(), 2);
}

void TestFrmMain::menuItemsBehaveLikePictures()
{
    typeEntry(QStringLiteral("15"), QStringLiteral("9"), QStringLiteral("menu"));
    triggerAction(m_window.get(), QStringLiteral("mnuEditAdd"));
    QCOMPARE(entries(), QStringList{QStringLiteral("0xF\t9\tmenu")});
    QCOMPARE(selectedRow(), 0);

    triggerAction(m_window.get(), QStringLiteral("mnuEditDelete"));
    QVERIFY(entries().isEmpty());

    MessageBoxSeen seen;
    auto watcher = watchMessageBox(&seen);
    triggerAction(m_window.get(), QStringLiteral("mnuEditDelete"));
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("Выберите строку для удаления!"));
}

void TestFrmMain::shortcutsWorkFromEveryBox_data()
{
    QTest::addColumn<QString>("focus");
    for (const char *name :
         {"txtCellID", "txtHEXVal", "txtOutputString", "txtChannel", "txtLocation", "lstOutput"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFrmMain::shortcutsWorkFromEveryBox()
{
    QFETCH(QString, focus);

    typeEntry(QStringLiteral("42"), QStringLiteral("5"), QStringLiteral("keys"));
    auto *target = m_window->findChild<QWidget *>(focus);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    const QString before = target->property("text").toString();

    QTest::keySequence(target, QKeySequence(QStringLiteral("Ctrl+A")));
    QCOMPARE(entries(), QStringList{QStringLiteral("0x2A\t5\tkeys")});
    QCOMPARE(selectedRow(), 0);

    QTest::keySequence(target, QKeySequence(QStringLiteral("Ctrl+D")));
    QVERIFY(entries().isEmpty());
    // The box kept its text: the keys went to the menu, not to the box.
    QCOMPARE(target->property("text").toString(), before);
}

void TestFrmMain::secondaryWindowsShowFreshContents()
{
    for (const char *cellId : {"1", "2", "3"}) {
        typeEntry(QString::fromLatin1(cellId), QStringLiteral("1"), QStringLiteral("x"));
        clickPicture("imgAddToFile");
    }
    m_window->cellList().append(QString()); // an empty entry counts too
    for (const QString &expected : {QStringLiteral("4"), QStringLiteral("5")}) {
        QString count;
        ModalWatcher watcher(readAndClose("frmInfo", "lblBTSCount", &count));
        pressKey(Qt::Key_F2);
        QVERIFY(watcher.answered());
        QCOMPARE(count, expected);
        clickPicture("imgAddToFile");
    }

    QString version;
    ModalWatcher watcher(readAndClose("frmAbout", "lblAppVer", &version));
    pressKey(Qt::Key_F1);
    QVERIFY(watcher.answered());
    QCOMPARE(version, QStringLiteral("v1.0 build 5"));
}

void TestFrmMain::webSiteMenuOpensTheProductSite()
{
    Browser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    triggerAction(m_window.get(), QStringLiteral("mnuHelpWebSite"));
    triggerAction(m_window.get(), QStringLiteral("mnuHelpWebSite"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(browser.opened, (QList<QUrl>(2, QUrl(QStringLiteral("https://vusk.example.org/")))));
    QVERIFY(!QApplication::activeModalWidget());
}

void TestFrmMain::tabsLineUpAtStops()
{
    // Each field begins at a tab stop, under its column caption.
    m_window->cellList().append(QStringLiteral("\t\tM"));
    m_window->cellList().append(QStringLiteral("\tM"));
    m_window->cellList().append(QStringLiteral("MMMMMM\tM"));
    list()->doItemsLayout();
    const QImage image = list()->viewport()->grab().toImage();
    const QColor background = list()->viewport()->palette().color(QPalette::Base);
    auto firstInkColumn = [&](int row, int fromX) {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        const qreal ratio = image.devicePixelRatio();
        for (int x = fromX; x < rect.right(); ++x)
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                if (image.pixelColor(int(x * ratio), int(y * ratio)) != background)
                    return x;
        return -1;
    };
    const int stop = 48;
    const int first = firstInkColumn(0, 0);
    QVERIFY2(first >= 2 * stop && first <= 2 * stop + 6, qPrintable(QString::number(first)));
    const int second = firstInkColumn(1, 0);
    QVERIFY2(second >= stop && second <= stop + 6, qPrintable(QString::number(second)));
    // Text longer than one stop pushes its field to the stop after it.
    const int afterLong = firstInkColumn(2, stop + 20);
    QCOMPARE(afterLong, first);
    QVERIFY(list()->uniformItemSizes());
}

void TestFrmMain::exitClosesWithoutAsking()
{
    typeEntry(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("unsaved"));
    clickPicture("imgAddToFile");

    bool askedSomething = false;
    ModalWatcher watcher(
        [&](QWidget *modal) {
            askedSomething = true;
            modal->close();
        },
        200);
    triggerAction(m_window.get(), QStringLiteral("mnuFileExit"));
    QVERIFY(!m_window->isVisible());
    QTest::qWait(300);
    QVERIFY(!askedSomething);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
