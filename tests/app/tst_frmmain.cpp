#include "celllistmodel.h"
#include "dialoganswers.h"
#include "frmmain.h"
#include "layoutchecks.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using vusk::frmMain;

namespace {

// Reads a label of the modal window, then closes it with its button.
ModalWatcher::Answer readAndClose(const char *labelName, QString *text)
{
    return [=](QWidget *modal) {
        *text = modal->findChild<QLabel *>(QLatin1String(labelName))->text();
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("cmdClose")),
                          Qt::LeftButton);
    };
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

public slots: // stands in for the browser
    void browse(const QUrl &url) { m_opened.append(url.toString()); }

private slots:
    void init()
    {
        m_window = std::make_unique<frmMain>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void startsAsDescribed()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("VUSK v1.0.5 [engineer build]"));
        QCOMPARE(list()->model()->rowCount(), 0);
        QStringList texts;
        for (const char *name :
             {"txtCellID", "txtHEXVal", "txtOutputString", "txtChannel", "txtLocation"})
            texts.append(box(name)->text());
        QCOMPARE(texts, (QStringList{"", "-", "-", "", ""}));
        QTRY_COMPARE(QApplication::focusWidget(), box("txtCellID"));
        for (const char *name : {"txtHEXVal", "txtOutputString"}) {
            QVERIFY(box(name)->isReadOnly());
            QCOMPARE(box(name)->palette().color(QPalette::Base), QColor(224, 224, 224));
            QCOMPARE(box(name)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        }
        QCOMPARE(child<QLabel>("imgAddToFile")->toolTip(), QStringLiteral("Добавить в файл"));
        QCOMPARE(child<QLabel>("imgRemoveFromFile")->toolTip(), QStringLiteral("Удалить из файла"));
        QCOMPARE(child<QLabel>("imgSaveToFile")->toolTip(), QString());
        for (const char *name : {"Image1", "Image2", "imgAddToFile", "imgRemoveFromFile",
                                 "imgSaveToFile", "Image3", "Image6", "Image7", "Image8"})
            QVERIFY2(!child<QLabel>(name)->pixmap().isNull(), name);
        QVERIFY(!m_window->windowIcon().isNull());

        const Qt::WindowFlags flags = m_window->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        const QPoint offCentre =
            m_window->geometry().center() - m_window->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    }
    void menus_data()
    {
        QTest::addColumn<QStringList>("items"); // name=text=shortcut, the menu's own first
        QTest::newRow("file") << QStringList{"mnuFile=&Файл=",
                                             "mnuFileOpen=Открыть=Ctrl+O",
                                             "mnuFileSaveAs=Сохранить как...=",
                                             "mnuFileSep1==",
                                             "mnuFileInformation=Информация=F2",
                                             "mnuFileSep2==",
                                             "mnuFileExit=В&ыход="};
        QTest::newRow("edit") << QStringList{"mnuEdit=&Правка=", "mnuEditAdd=Д&обавить=Ctrl+A",
                                             "mnuEditDelete=Уда&лить=Ctrl+D"};
        QTest::newRow("help") << QStringList{"mnuHelp=&?=", "mnuHelpWebSite=Сайт VUSK=",
                                             "mnuHelpSep1==", "mnuHelpAbout=&О программе...=F1"};
    }
    void menus()
    {
        QFETCH(QStringList, items);
        auto *menu = child<QMenu>(items.first().section(u'=', 0, 0));
        QVERIFY(m_window->menuBar()->actions().contains(menu->menuAction()));
        QStringList seen{menu->objectName() + u'=' + menu->title() + u'='};
        for (QAction *action : menu->actions()) {
            seen.append(
                QStringLiteral("%1=%2=%3")
                    .arg(action->objectName(), action->text(), action->shortcut().toString()));
            QCOMPARE(action->isSeparator(), action->text().isEmpty());
            QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
        }
        QCOMPARE(seen, items);
    }
    void layoutHoldsTogether()
    {
        // Every caption shows all of its text, runs into nothing, and no control leaves
        // its frame.
        for (QLabel *label : m_window->centralWidget()->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                verifyFitsText(label);
        for (QGroupBox *frame : m_window->findChildren<QGroupBox *>()) {
            QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width() - 16);
            QVERIFY(m_window->centralWidget()->rect().contains(frame->geometry()));
            for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY2(frame->rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
            verifyCaptionsClear(frame);
        }
    }
    void tabOrder()
    {
        const QStringList expected{"txtCellID",   "txtHEXVal", "txtOutputString", "txtChannel",
                                   "txtLocation", "lstOutput", "txtCellID"};
        QTRY_COMPARE(QApplication::focusWidget(), box("txtCellID"));
        QStringList seen{QApplication::focusWidget()->objectName()};
        while (seen.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(seen, expected);
    }

    void typingCellId_data()
    {
        QTest::addColumn<QString>("before"); // typed first, then selected and typed over
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("hexAfterEachKey");
        QTest::addColumn<QStringList>("keyAfterEachKey");

        QTest::newRow("6699") << ""
                              << "6699" << QStringList{"6", "42", "29D", "1A2B"}
                              << QStringList{"0x6", "0x42", "0x29D", "0x1A2B"};
        QTest::newRow("70000 keeps four hex digits in the key")
            << ""
            << "70000" << QStringList{"7", "46", "2BC", "1B58", "11170"}
            << QStringList{"0x7", "0x46", "0x2BC", "0x1B58", "0x1117"};
        QTest::newRow("minus one")
            << ""
            << "-1" << QStringList{"-", "FFFFF"} << QStringList{"0x-", "0xFFFF"};
        QTest::newRow("letter first") << ""
                                      << "x5" << QStringList{"-", "-"} << QStringList{"0x-", "0x-"};
        QTest::newRow("letters keep the previous hex")
            << "6699"
            << "ab" << QStringList{"1A2B", "1A2B"} << QStringList{"0x1A2B", "0x1A2B"};
        QTest::newRow("blanks around")
            << ""
            << " 15 " << QStringList{"-", "1", "F", "F"} << QStringList{"0x-", "0x1", "0xF", "0xF"};
        QTest::newRow("zero") << ""
                              << "0" << QStringList{"0"} << QStringList{"0x0"};
        QTest::newRow("99999") << ""
                               << "99999" << QStringList{"9", "63", "3E7", "270F", "1869F"}
                               << QStringList{"0x9", "0x63", "0x3E7", "0x270F", "0x1869"};
    }
    void typingCellId()
    {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QStringList, hexAfterEachKey);
        QFETCH(QStringList, keyAfterEachKey);

        QLineEdit *cellId = box("txtCellID");
        typeText(cellId, before);
        cellId->selectAll();
        QStringList hex, key;
        for (QChar ch : keys) {
            typeText(cellId, ch);
            hex.append(box("txtHEXVal")->text());
            key.append(box("txtOutputString")->text());
        }
        QCOMPARE(cellId->text(), keys);
        QCOMPARE(hex, hexAfterEachKey);
        QCOMPARE(key, keyAfterEachKey);
    }
    void whatBoxesAccept_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");

        QTest::newRow("cell ID: five characters") << "txtCellID"
                                                  << "123456"
                                                  << ""
                                                  << "12345";
        QTest::newRow("channel: four characters") << "txtChannel"
                                                  << "12345"
                                                  << ""
                                                  << "1234";
        QTest::newRow("hex box is read-only") << "txtHEXVal"
                                              << "7"
                                              << "8"
                                              << "-";
        QTest::newRow("key box is read-only") << "txtOutputString"
                                              << "7"
                                              << "8"
                                              << "-";
        QTest::newRow("channel: pasted line end and tab become blanks") << "txtChannel"
                                                                        << "1"
                                                                        << "\r\n\t"
                                                                        << "1   ";
        QTest::newRow("description: pasted line ends become blanks, tabs stay") << "txtLocation"
                                                                                << "a"
                                                                                << "b\r\nc\td\re\n"
                                                                                << "ab  c\td e ";
        const QString megabyte(1000 * 1000, u'w');
        QTest::newRow("description: a 1 MB paste arrives whole") << "txtLocation"
                                                                 << "" << megabyte << megabyte;
    }
    void whatBoxesAccept()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);

        QLineEdit *target = box(boxName);
        target->setFocus();
        typeText(target, typed);
        if (!pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keySequence(target, QKeySequence::Paste);
        }
        QCOMPARE(target->text(), kept);
    }

    void editingTheList_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("boxes"); // key | channel | description afterwards
        QTest::addColumn<int>("warnings"); // "Выберите строку для удаления!"

        const QString add = "click:imgAddToFile";
        const QString remove = "click:imgRemoveFromFile";
        QTest::newRow("add appends and selects, boxes stay")
            << QStringList{"id:6699", "ch:62", "desc:Улица Ленина, 1", add}
            << QStringList{"0x1A2B\t62\tУлица Ленина, 1"} << 0 << "0x1A2B|62|Улица Ленина, 1" << 0;
        QTest::newRow("the same entry twice")
            << QStringList{"id:15", "ch:1", "desc:x", add, add}
            << QStringList{"0xF\t1\tx", "0xF\t1\tx"} << 1 << "0xF|1|x" << 0;
        QTest::newRow("empty cell ID adds nothing")
            << QStringList{"ch:62", "desc:x", add} << QStringList{} << -1 << "-|62|x" << 0;
        QTest::newRow("a blank cell ID adds the key shown")
            << QStringList{"id: ", "ch:62", "desc:x", add} << QStringList{"0x-\t62\tx"} << 0
            << "0x-|62|x" << 0;
        QTest::newRow("empty channel and description")
            << QStringList{"id:15", add} << QStringList{"0xF\t\t"} << 0 << "0xF||" << 0;
        QTest::newRow("add while another entry is selected goes to the end")
            << QStringList{"id:1", "ch:1",  "desc:a", add,    "id:2",   "ch:2", "desc:b",
                           add,    "row:0", "id:3",   "ch:3", "desc:c", add}
            << QStringList{"0x1\t1\ta", "0x2\t2\tb", "0x3\t3\tc"} << 2 << "0x3|3|c" << 0;
        QTest::newRow("double click on the picture adds once")
            << QStringList{"id:5", "ch:1", "desc:d", "doubleclick:imgAddToFile"}
            << QStringList{"0x5\t1\td"} << 0 << "0x5|1|d" << 0;
        QTest::newRow("press that leaves the picture is no click")
            << QStringList{"id:5", "dragoff:imgAddToFile"} << QStringList{} << -1 << "0x5||" << 0;
        QTest::newRow("menu items act like the pictures") << QStringList{"id:15",
                                                                         "ch:9",
                                                                         "desc:m",
                                                                         "menu:mnuEditAdd",
                                                                         "menu:mnuEditDelete",
                                                                         "menu:mnuEditDelete"}
                                                          << QStringList{} << -1 << "0xF|9|m" << 1;

        // Selecting splits the entry into the boxes; the channel box keeps "keep"
        // when the entry has no channel, and the cell ID box is never touched.
        const QStringList before{"ch:keep", "id:99"};
        QTest::newRow("select: three fields")
            << before + QStringList{"file:0x1A2B\t62\tX", "row:0"} << QStringList{"0x1A2B\t62\tX"}
            << 0 << "0x1A2B|62|X" << 0;
        QTest::newRow("select: one tab keeps the channel box")
            << before + QStringList{"file:0x10\tonly", "row:0"} << QStringList{"0x10\tonly"} << 0
            << "0x10|keep|only" << 0;
        QTest::newRow("select: no tab, key is the first six characters")
            << before + QStringList{"file:0x12345678 text", "row:0"}
            << QStringList{"0x12345678 text"} << 0 << "0x1234|keep|0x12345678 text" << 0;
        QTest::newRow("select: long channel cut to four, extra tabs stay in the description")
            << before + QStringList{"file:0x1\t123456\ta\tb", "row:0"}
            << QStringList{"0x1\t123456\ta\tb"} << 0 << "0x1|1234|a\tb" << 0;
        QTest::newRow("select: empty entry")
            << before + QStringList{"file:", "row:0"} << QStringList{""} << 0 << "|keep|" << 0;
        QTest::newRow("select: a line end from a file stays as read")
            << before + QStringList{"file:0x1\t2\tup\nstairs", "row:0", add}
            << QStringList{"0x1\t2\tup\nstairs", "0x1\t2\tup\nstairs"} << 1 << "0x1|2|up\nstairs"
            << 0;
        QTest::newRow("select by keyboard")
            << QStringList{"file:0x1\t1\tone", "file:0x2\t2\ttwo", "key:down", "key:down", "key:up"}
            << QStringList{"0x1\t1\tone", "0x2\t2\ttwo"} << 0 << "0x1|1|one" << 0;
        QTest::newRow("selected entry edited and added is a second entry")
            << QStringList{"id:6699",  "ch:62", "desc:old", add, "id:1",
                           "unselect", "row:0", "desc:new", add}
            << QStringList{"0x1A2B\t62\told", "0x1A2B\t62\tnew"} << 1 << "0x1A2B|62|new" << 0;
        QTest::newRow("clearing the cell ID brings back the key of the hex box")
            << QStringList{"id:15", "file:0x77\t2\tb", "row:0", "id:", add}
            << QStringList{"0x77\t2\tb"} << 0 << "0xF|2|b" << 0;

        QTest::newRow("remove without entries warns")
            << QStringList{remove} << QStringList{} << -1 << "-||" << 1;
        QTest::newRow("remove without a selection warns")
            << QStringList{"file:0x1\t1\tone", remove} << QStringList{"0x1\t1\tone"} << -1 << "-||"
            << 1;
        QTest::newRow("remove leaves no selection and the boxes alone")
            << QStringList{"file:0x1\t1\tone",
                           "file:0x2\t2\ttwo",
                           "file:0x3\t3\tthree",
                           "row:1",
                           "desc:typed",
                           remove,
                           remove}
            << QStringList{"0x1\t1\tone", "0x3\t3\tthree"} << -1 << "0x2|2|typed" << 1;
    }
    void editingTheList()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(QString, boxes);
        QFETCH(int, warnings);

        QList<ModalWatcher::Answer> answers;
        QList<MessageBoxSeen> seen(3);
        for (MessageBoxSeen &box : seen)
            answers.append(pressButton(QMessageBox::Ok, &box));
        ModalWatcher watcher(answers);
        for (const QString &step : steps)
            act(step);

        QCOMPARE(this->entries(), entries);
        QCOMPARE(m_window->cellList().rowCount(), entries.size()); // all shown
        QCOMPARE(selectedRow(), selected);
        QCOMPARE(QStringList({box("txtOutputString")->text(), box("txtChannel")->text(),
                              box("txtLocation")->text()})
                     .join(u'|'),
                 boxes);
        QCOMPARE(watcher.answeredCount(), warnings);
        for (qsizetype i = 0; i < warnings; ++i) {
            QCOMPARE(seen.at(i).text, QStringLiteral("Выберите строку для удаления!"));
            QCOMPARE(seen.at(i).title, QStringLiteral("Предупреждение"));
            QCOMPARE(seen.at(i).icon, QMessageBox::Warning);
            QCOMPARE(seen.at(i).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
    }
    void shortcutsWorkFromEveryBox_data()
    {
        QTest::addColumn<QString>("focus");
        for (const char *name : {"txtCellID", "txtHEXVal", "txtOutputString", "txtChannel",
                                 "txtLocation", "lstOutput"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void shortcutsWorkFromEveryBox()
    {
        QFETCH(QString, focus);

        for (const char *step : {"id:42", "ch:5", "desc:keys"})
            act(step);
        auto *target = child<QWidget>(focus);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        const QString before = target->property("text").toString();

        QTest::keySequence(target, QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(entries(), QStringList{QStringLiteral("0x2A\t5\tkeys")});
        QCOMPARE(selectedRow(), 0);
        QTest::keySequence(target, QKeySequence(QStringLiteral("Ctrl+D")));
        QVERIFY(entries().isEmpty());
        // The keys went to the menu, not to the box.
        QCOMPARE(target->property("text").toString(), before);
    }

    void secondaryWindowsShowFreshContents()
    {
        for (const char *step : {"id:1", "click:imgAddToFile", "click:imgAddToFile", "file:"})
            act(step); // an empty entry counts too
        for (const QString &expected : {QStringLiteral("3"), QStringLiteral("4")}) {
            QString count;
            ModalWatcher watcher(readAndClose("lblBTSCount", &count));
            pressKey(Qt::Key_F2);
            QVERIFY(watcher.answered());
            QCOMPARE(count, expected);
            act("click:imgAddToFile");
        }
        QString version;
        ModalWatcher watcher(readAndClose("lblAppVer", &version));
        pressKey(Qt::Key_F1);
        QVERIFY(watcher.answered());
        QCOMPARE(version, QStringLiteral("v1.0 build 5"));
    }
    void webSiteMenuOpensTheProductSite()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "browse");
        triggerAction(m_window.get(), QStringLiteral("mnuHelpWebSite"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(m_opened, QStringList{QStringLiteral("https://vusk.example.org/")});
        QVERIFY(!QApplication::activeModalWidget());
    }
    void listDrawsFieldsAtTabStops()
    {
        for (const char *entry : {"\tM", "\t\tM", "MMMMMM\tM", "M"})
            m_window->cellList().append(QString::fromUtf8(entry));
        clickRow(3);
        const QImage image = list()->viewport()->grab().toImage();
        const QPalette palette = list()->palette();
        const qreal ratio = image.devicePixelRatio();
        // The first pixel from the left in the row's text colour.
        auto firstInk = [&](int row, int fromX, const QColor &ink) {
            const QRect rect = list()->visualRect(list()->model()->index(row, 0));
            for (int x = fromX; x < rect.right(); ++x)
                for (int y = rect.top(); y <= rect.bottom(); ++y)
                    if (image.pixelColor(int(x * ratio), int(y * ratio)) == ink)
                        return x;
            return -1;
        };
        const QPalette::ColorGroup group =
            list()->isActiveWindow() ? QPalette::Active : QPalette::Inactive;
        const QColor text = palette.color(group, QPalette::Text);
        const int secondField = firstInk(0, 0, text);
        QVERIFY(secondField > 0);
        QCOMPARE(firstInk(1, 0, text) - secondField, 48); // the next stop
        // Text longer than a stop pushes its field to the stop after it.
        QCOMPARE(firstInk(2, secondField + 20, text), secondField + 48);
        // The selected entry is drawn in the selection's text colour, on the selection.
        QVERIFY(firstInk(3, 0, palette.color(group, QPalette::HighlightedText)) >= 0);
        QCOMPARE(firstInk(3, 0, text), -1);
    }
    void exitClosesWithoutAsking()
    {
        act("id:1");
        act("click:imgAddToFile");
        ModalWatcher watcher(pressButton(QMessageBox::Ok));
        triggerAction(m_window.get(), QStringLiteral("mnuFileExit"));
        QVERIFY(!m_window->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(watcher.answeredCount(), 0);
    }

private:
    template <typename T> T *child(const QString &name) const
    {
        auto *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }
    QLineEdit *box(const QString &name) const { return child<QLineEdit>(name); }
    QListView *list() const { return child<QListView>(QStringLiteral("lstOutput")); }
    QStringList entries() const { return m_window->cellList().entries(); }
    int selectedRow() const
    {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    void clickPicture(const QString &name, QPoint at = {8, 8})
    {
        QTest::mouseClick(child<QLabel>(name), Qt::LeftButton, {}, at);
    }
    void clickRow(int row)
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualRect(list()->model()->index(row, 0)).center());
    }
    void act(const QString &step)
    {
        const QString what = step.section(u':', 0, 0);
        const QString arg = step.section(u':', 1);
        static const QMap<QString, QString> boxes{
            {"id", "txtCellID"}, {"ch", "txtChannel"}, {"desc", "txtLocation"}};
        if (boxes.contains(what)) { // retype the box
            box(boxes[what])->setFocus();
            box(boxes[what])->selectAll();
            QTest::keyClick(box(boxes[what]), Qt::Key_Delete);
            typeText(box(boxes[what]), arg);
        } else if (what == "click") {
            clickPicture(arg);
        } else if (what == "doubleclick") { // press, release, press, double click, release
            clickPicture(arg);
            QTest::mousePress(child<QLabel>(arg), Qt::LeftButton, {}, QPoint(8, 8));
            QTest::mouseDClick(child<QLabel>(arg), Qt::LeftButton, {}, QPoint(8, 8));
            QTest::mouseRelease(child<QLabel>(arg), Qt::LeftButton, {}, QPoint(8, 8));
        } else if (what == "dragoff") { // pressed on the picture, released outside it
            QTest::mousePress(child<QLabel>(arg), Qt::LeftButton, {}, QPoint(8, 8));
            QTest::mouseRelease(child<QLabel>(arg), Qt::LeftButton, {}, QPoint(40, 40));
        } else if (what == "menu") {
            triggerAction(m_window.get(), arg);
        } else if (what == "row") {
            clickRow(arg.toInt());
        } else if (what == "key") { // in the list
            list()->setFocus();
            QTest::keyClick(list(), arg == "down" ? Qt::Key_Down : Qt::Key_Up);
        } else if (what == "unselect") {
            list()->clearSelection();
        } else if (what == "file") { // a line as a file read delivers it
            m_window->cellList().append(arg);
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }
    // Keys go to the active window; without a window manager nothing gives the
    // activation back to the main window when a modal window closes.
    void pressKey(Qt::Key key)
    {
        m_window->activateWindow();
        QTRY_VERIFY(m_window->isActiveWindow());
        QTest::keyClick(m_window.get(), key);
    }

    std::unique_ptr<frmMain> m_window;
    QStringList m_opened;
};

// One step of what a person does, written as "what:argument".

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
