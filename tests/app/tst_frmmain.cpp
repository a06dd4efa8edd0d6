#include "cellidconversion.h"
#include "celllistmodel.h"
#include "dialoganswers.h"
#include "frmmain.h"
#include "layoutchecks.h"
#include "platform.h"
#include "readable.h"
#include "version.h"

#include <QTest>
#include <QtWidgets>

#include <cmath>

// What a person does, step by step (see act()); a step that cannot be done ends the test.
#define ACT(steps)                                                                                 \
    do {                                                                                           \
        if (!act(steps, __FILE__, __LINE__))                                                       \
            return;                                                                                \
    } while (false)
// The five boxes against "cell ID|hex|key|channel|description", box by box.
#define COMPARE_BOXES(expected)                                                                    \
    do {                                                                                           \
        if (!boxesShow(expected, __FILE__, __LINE__))                                              \
            return;                                                                                \
    } while (false)

namespace {

// The title shows major.minor.revision, the About window "major.minor build revision".
const QString majorMinor =
    QStringLiteral("v%1.%2").arg(vusk::version::major).arg(vusk::version::minor);
const QString revision = QString::number(vusk::version::revision);

// An enumerator's name, or the names of the flags set.
template <typename Enum> QString nameOf(Enum value)
{
    const QMetaEnum type = QMetaEnum::fromType<Enum>();
    const char *key = type.valueToKey(int(value)); // the first of a value's names
    return QString::fromLatin1(key ? QByteArray(key) : type.valueToKeys(int(value)));
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

public slots: // stands in for the browser
    void browse(const QUrl &url) { m_opened.append(url.toString()); }

public:
    static void initMain() { drawOffscreenUnlessNamed(); }

private slots:
    void init()
    {
        m_window = std::make_unique<vusk::frmMain>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void startsAsDescribed()
    {
        COMPARE_TEXT("title", m_window->windowHandle()->title(),
                     QString("VUSK %1.%2 [engineer build]").arg(majorMinor, revision));
        COMPARE_BOXES("|-|-||");
        for (const QString name : {"txtHEXVal", "txtOutputString"}) {
            COMPARE_TEXT(qPrintable(name + " colour"),
                         box(name)->palette().color(QPalette::Base).name(), "#e0e0e0");
            COMPARE_TEXT(qPrintable(name + " alignment"),
                         nameOf(box(name)->alignment() & Qt::AlignHorizontal_Mask), "AlignHCenter");
        }
        COMPARE_TEXT("imgSaveToFile tip", child<QLabel>("imgSaveToFile")->toolTip(), "");
        for (const char *name : {"Image1", "Image2", "imgAddToFile", "imgRemoveFromFile",
                                 "imgSaveToFile", "Image3", "Image6", "Image7", "Image8"})
            QVERIFY2(!child<QLabel>(name)->pixmap().isNull(), name);
        QVERIFY(!m_window->windowIcon().isNull());

        const Qt::WindowFlags buttons = Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
        QCOMPARE(m_window->windowFlags() & buttons,
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        // The client area is centred: centring the frame puts it a title bar low on Windows.
        const QPoint centre = m_window->screen()->availableGeometry().center();
        QTRY_COMPARE_LE((m_window->geometry().center() - centre).manhattanLength(), 2);

        // Tab walks the boxes, then the list, from the cell ID box the window starts in.
        QTRY_COMPARE(QApplication::focusWidget(), box("txtCellID"));
        QStringList order;
        for (int i = 0; i < 7; ++i) {
            order.append(m_window->focusWidget()->objectName());
            QTest::keyClick(m_window->focusWidget(), Qt::Key_Tab);
        }
        COMPARE_LINES("focus by Tab", order,
                      QString("txtCellID txtHEXVal txtOutputString txtChannel txtLocation "
                              "lstOutput txtCellID")
                          .split(u' '));
    }
    void menus()
    {
        // name=text=shortcut of each menu, then of each of its items, and what no item may be
        QStringList seen;
        for (QAction *menuItem : m_window->menuBar()->actions()) {
            seen.append(menuItem->menu()->objectName() + u'=' + menuItem->text() + u'=');
            for (QAction *action : menuItem->menu()->actions())
                seen.append(action->objectName() + u'=' +
                            (action->isSeparator() ? "----" : action->text()) + u'=' +
                            action->shortcut().toString() +
                            (action->isEnabled() ? "" : " disabled") +
                            (action->isVisible() ? "" : " hidden") +
                            (action->isCheckable() ? " checkable" : ""));
        }
        const QStringList expected{"mnuFile=&Файл=",
                                   "mnuFileOpen=Открыть=Ctrl+O",
                                   "mnuFileSaveAs=Сохранить как...=Ctrl+S",
                                   "mnuFileSep1=----=",
                                   "mnuFileInformation=Информация=F2",
                                   "mnuFileSep2=----=",
                                   "mnuFileExit=В&ыход=Ctrl+Q",
                                   "mnuEdit=&Правка=",
                                   "mnuEditAdd=Д&обавить=Ctrl+A",
                                   "mnuEditDelete=Уда&лить=Ctrl+D",
                                   "mnuHelp=&?=",
                                   "mnuHelpWebSite=Сайт VUSK=",
                                   "mnuHelpSep1=----=",
                                   "mnuHelpAbout=&О программе...=F1"};
        COMPARE_LINES("menus: name=text=shortcut", seen, expected);
    }
    void layoutHoldsTogether()
    {
        // Captions show all their text and run into nothing; controls stay in their frames.
        for (QLabel *label : m_window->centralWidget()->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                verifyFitsText(label);
        for (QGroupBox *frame : m_window->findChildren<QGroupBox *>()) {
            const int title = frame->fontMetrics().horizontalAdvance(frame->title());
            QVERIFY2(title < frame->width() - 16,
                     qPrintable(frame->objectName() + QString::asprintf(": title %d wide, frame %d",
                                                                        title, frame->width())));
            QVERIFY2(m_window->centralWidget()->rect().contains(frame->geometry()),
                     qPrintable(frame->objectName() + " leaves the window"));
            for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY2(frame->rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
            verifyCaptionsClear(frame);
        }
    }

    void convertingCellIds_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("hex"); // "-": the hex box keeps its text, no 32-bit number
        const auto row = [](const char *locale, const char *typed, const char *hex) {
            QTest::addRow("\"%s\" in %s", typed, locale) << locale << typed << hex;
        };
        row("C", "0", "0");
        row("C", "70000", "11170");
        row("C", "  12 ", "C");
        row("C", "-1", "FFFFFFFF");
        row("C", "2147483647", "7FFFFFFF");
        row("C", "-2147483648", "80000000");
        row("C", "-2147483648.5", "80000000");
        row("C", "2147483647.5", "-");
        row("C", "-2147483649", "-");
        row("C", "", "-");
        row("C", "-", "-");
        row("C", "nan", "-");
        row("en_US", "2.5", "2");
        row("en_US", "3.5", "4");
        row("en_US", "-1.5", "FFFFFFFE");
        row("ru_RU", "2,5", "2");
    }
    void convertingCellIds()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, hex);
        QCOMPARE(vusk::cellIdToHex(typed, QLocale(locale)).value_or("-"), hex);
    }
    void whatAPersonDoes_data()
    {
        QTest::addColumn<QString>("steps"); // see act()
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("boxes");    // cell ID|hex|key|channel|description afterwards
        QTest::addColumn<QStringList>("told"); // icon|title|text|buttons of each message box
        QTest::addColumn<bool>("closed");      // the window afterwards
        const auto row = [](const char *name, const QString &steps, const QStringList &entries,
                            int selected, const QString &boxes, const QStringList &told = {},
                            bool closed = false) {
            QTest::newRow(name) << steps << entries << selected << boxes << told << closed;
        };
        const QString selectFirst = "Warning|Предупреждение|Выберите строку для удаления!|Ok";
        row("cell ID: five characters", "id:123456", {}, -1, "12345|3039|0x3039||");
        row("the hex box holds five digits", "id:-1", {}, -1, "-1|FFFFF|0xFFFF||");
        row("letters keep the previous hex", "id:66ab", {}, -1, "66ab|42|0x42||");
        row("channel: four characters", "ch:12345", {}, -1, "|-|-|1234|");
        row("hex box is read-only", "focus:txtHEXVal|key:7|paste:8", {}, -1, "|-|-||");
        row("key box is read-only", "focus:txtOutputString|key:7|paste:8", {}, -1, "|-|-||");
        row("channel: pasted line end and tab become blanks", "ch:1|paste:\r\n\t", {}, -1,
            "|-|-|1   |");
        row("description: pasted line ends become blanks, tabs stay", "desc:a|paste:b\r\nc\td\re\n",
            {}, -1, "|-|-||ab  c\td e ");
        // What one file line carries beside the longest key, a channel and two tabs.
        row("description: a longer paste is cut", "desc:|paste:" + QString(1 << 21, u'w'), {}, -1,
            "|-|-||" + QString((1 << 20) - 6 - 4 - 2, u'w'));
        row("description: so is one from the box's menu",
            "desc:ab|menupaste:" + QString(1 << 21, u'w'), {}, -1,
            "|-|-||ab" + QString((1 << 20) - 6 - 4 - 2 - 2, u'w'));

        row("add appends and selects, boxes stay", "id:6699|ch:62|desc:Улица Ленина, 1|add",
            {"0x1A2B\t62\tУлица Ленина, 1"}, 0, "6699|1A2B|0x1A2B|62|Улица Ленина, 1");
        row("empty cell ID adds nothing", "ch:62|desc:x|add", {}, -1, "|-|-|62|x");
        row("a blank cell ID adds the key shown", "id: |ch:62|desc:x|add", {"0x-\t62\tx"}, 0,
            " |-|0x-|62|x");
        row("add while another entry is selected goes to the end",
            "id:1|ch:1|desc:a|add|id:2|ch:2|desc:b|add|row:0|id:3|ch:3|desc:c|add",
            {"0x1\t1\ta", "0x2\t2\tb", "0x3\t3\tc"}, 2, "3|3|0x3|3|c");
        row("double click on the picture adds once", "id:5|ch:1|desc:d|doubleclick", {"0x5\t1\td"},
            0, "5|5|0x5|1|d");
        row("press that leaves the picture is no click", "id:5|dragoff", {}, -1, "5|5|0x5||");
        row("menu items act like the pictures",
            "id:15|ch:9|desc:m|menu:mnuEditAdd|menu:mnuEditDelete|menu:mnuEditDelete", {}, -1,
            "15|F|0xF|9|m", {selectFirst});
        // The menu keys reach the menu from every box and the list, not the box.
        for (const char *focus : {"txtCellID", "txtHEXVal", "txtOutputString", "txtChannel",
                                  "txtLocation", "lstOutput"}) {
            row(qPrintable(QString("Ctrl+A, Ctrl+A, Ctrl+D in %1").arg(focus)),
                QString("id:42|ch:5|desc:k|focus:%1|key:Ctrl+A|key:Ctrl+A|key:Ctrl+D").arg(focus),
                {"0x2A\t5\tk"}, -1, "42|2A|0x2A|5|k");
            row(qPrintable(QString("Ctrl+S, Ctrl+Q in %1").arg(focus)),
                QString("focus:%1|key:Ctrl+S|key:Ctrl+Q").arg(focus), {}, -1, "|-|-||",
                {"Question|Информация|Может сперва что-нибудь добавим?|Ok"}, true);
        }

        // Selecting fills key, channel (if the entry has one) and description: nothing else.
        const QString typed = "ch:keep|id:99|";
        row("select: one tab keeps the channel box", typed + "file:0x10\tonly|row:0",
            {"0x10\tonly"}, 0, "99|63|0x10|keep|only");
        row("select: empty entry", typed + "file:|row:0", {""}, 0, "99|63||keep|");
        row("select: a line end from a file stays as read",
            typed + "file:0x1\t2\tup\nstairs|row:0|add",
            {"0x1\t2\tup\nstairs", "0x1\t2\tup\nstairs"}, 1, "99|63|0x1|2|up\nstairs");
        row("select by keyboard",
            "file:0x1\t1\tone|file:0x2\t2\ttwo|focus:lstOutput|key:Down|key:Down|key:Up",
            {"0x1\t1\tone", "0x2\t2\ttwo"}, 0, "|-|0x1|1|one");
        row("clearing the cell ID brings back the key of the hex box",
            "id:15|file:0x77\t2\tb|row:0|id:|add", {"0x77\t2\tb"}, 0, "|F|0xF|2|b");

        row("remove leaves no selection and the boxes alone",
            "file:0x1\t1\tone|file:0x2\t2\ttwo|file:0x3\t3\tthree|row:1|desc:typed|remove|remove",
            {"0x1\t1\tone", "0x3\t3\tthree"}, -1, "|-|0x2|2|typed", {selectFirst});
    }
    void whatAPersonDoes()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(QString, boxes);
        QFETCH(QStringList, told);
        QFETCH(bool, closed);

        QList<MessageBoxSeen> seen(2); // one more than any row expects
        ModalWatcher watcher(
            {pressButton(QMessageBox::Ok, &seen[0]), pressButton(QMessageBox::Ok, &seen[1])});
        ACT(steps);
        QStringList seenTold;
        for (const MessageBoxSeen &message : seen.first(watcher.answeredCount()))
            seenTold.append(QStringList{nameOf(message.icon), message.title, message.text,
                                        nameOf(message.buttons)}
                                .join(u'|'));
        COMPARE_LINES("message boxes", seenTold, told);
        COMPARE_LINES("list", m_window->cellList().entries(), entries);
        QCOMPARE(m_window->cellList().rowCount(), entries.size()); // all shown
        QCOMPARE(selectedRow(), selected);
        COMPARE_BOXES(boxes);
        QCOMPARE(!m_window->isVisible(), closed);
    }
    void removingTheLastOfALongList()
    {
        QStringList steps;
        for (int i = 0; i < 40; ++i)
            steps.append(QStringLiteral("file:%1").arg(i));
        ACT(steps.join(u'|') + "|row:39|remove");
        list()->scrollToBottom(); // shows the last entry left at the bottom, and no room below
        const QRect last = list()->visualRect(list()->model()->index(38, 0));
        const QRect shown = list()->viewport()->rect();
        QVERIFY2(shown.contains(last) && !shown.contains(last.translated(0, last.height())),
                 qPrintable(QString::asprintf("the last entry at %d to %d in a list %d high",
                                              last.top(), last.bottom(), shown.height())));
    }
    void secondaryWindowsShowFreshContents()
    {
        QStringList seen;
        const auto readAndClose = [&seen](const char *label) {
            return ModalWatcher::Answer([&seen, label](QWidget *modal) {
                seen.append(modal->findChild<QLabel *>(label)->text());
                QTest::mouseClick(modal->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
            });
        };
        ModalWatcher watcher(
            {readAndClose("lblBTSCount"), readAndClose("lblBTSCount"), readAndClose("lblAppVer")});
        ACT("id:1|add|add|file:|key:F2|add|key:F2|key:F1"); // an empty entry counts too
        QCOMPARE(seen, QStringList({"3", "4", majorMinor + " build " + revision}));
    }
    void menuCommandsAskNothing()
    {
        ModalWatcher watcher(pressButton(QMessageBox::Ok));
        QDesktopServices::setUrlHandler("https", this, "browse");
        const bool done = act("menu:mnuHelpWebSite", __FILE__, __LINE__);
        QDesktopServices::unsetUrlHandler("https");
        if (!done)
            return;
        QCOMPARE(m_opened, QStringList{"https://vusk.example.org/"});
        QCOMPARE(watcher.answeredCount(), 0);
    }

    void listDrawsRows_data()
    {
        QTest::addColumn<bool>("active");
        QTest::newRow("active window") << true;
        // Windows' inactive highlight is near-white: white text on it would vanish.
        QTest::newRow("inactive window") << false;
    }
    void listDrawsRows()
    {
        QFETCH(bool, active);
        const QColor text = active ? Qt::blue : Qt::red;
        const QColor selectedText = active ? Qt::white : Qt::black;
        QPalette palette = list()->palette();
        palette.setColor(QPalette::Active, QPalette::Text, Qt::blue);
        palette.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
        palette.setColor(QPalette::Inactive, QPalette::Text, Qt::red);
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
        list()->setPalette(palette);
        ACT("file:\tM|file:\t\tM|file:MMMMMM\tM|file:M|row:3");
        QWidget otherWindow; // the person turns to it, or stays with the list
        otherWindow.setVisible(!active);
        (active ? m_window.get() : &otherWindow)->activateWindow();
        QTRY_COMPARE(list()->isActiveWindow(), active);

        const QImage image = list()->viewport()->grab().toImage();
        auto firstInk = [&](int row, int fromX, const QColor &ink) { // leftmost pixel in ink
            const QRect rect = list()->visualRect(list()->model()->index(row, 0));
            const qreal ratio = image.devicePixelRatio();
            for (int x = fromX; x < rect.right(); ++x)
                for (int y = rect.top(); y <= rect.bottom(); ++y)
                    if (image.pixelColor(int(x * ratio), int(y * ratio)) == ink)
                        return x;
            return -1;
        };
        const int secondField = firstInk(0, 0, text);
        QCOMPARE_GT(secondField, 0);
        QCOMPARE(firstInk(1, 0, text) - secondField, 48); // the next stop
        // Text longer than a stop pushes its field to the stop after it.
        QCOMPARE(firstInk(2, secondField + 20, text), secondField + 48);
        QCOMPARE_GE(firstInk(3, 0, selectedText), 0);
        QCOMPARE(firstInk(3, 0, text), -1);
    }
    void listKeepsItsFrame_data()
    {
        QTest::addColumn<qreal>("scale"); // as the desktop's display scale sets it
        for (qreal scale = 1; scale <= 3; scale += 0.25)
            QTest::addRow("at %g %%", scale * 100) << scale;
    }
    void listKeepsItsFrame()
    {
        QFETCH(qreal, scale);
        ACT("file:0x1\t1\tM|row:0"); // a selected row, drawn up to the frame
        // The window as its backing store is drawn at that scale.
        const auto render = [&](qreal ratio) {
            QImage image(m_window->size() * ratio + QSize(1, 1), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            m_window->render(&image);
            return image;
        };
        const QImage plain = render(1);
        const QImage scaled = render(scale);
        const QRect frame(list()->mapTo(m_window.get(), QPoint()), list()->size());
        const QPoint centre = frame.center();
        // Where each line crosses the middle of its edge.
        const std::pair<const char *, QPoint> edges[] = {{"top", {centre.x(), frame.top()}},
                                                         {"bottom", {centre.x(), frame.bottom()}},
                                                         {"left", {frame.left(), centre.y()}},
                                                         {"right", {frame.right(), centre.y()}}};
        QStringList missing;
        for (const auto &[edge, unit] : edges) {
            // Some device pixel that overlaps the unit has the line's colour at scale 1.
            const QColor colour = plain.pixelColor(unit);
            const QRect pixels(QPoint(std::floor(unit.x() * scale), std::floor(unit.y() * scale)),
                               QPoint(std::ceil((unit.x() + 1) * scale) - 1,
                                      std::ceil((unit.y() + 1) * scale) - 1));
            QStringList seen;
            for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                for (int x = pixels.left(); x <= pixels.right(); ++x)
                    seen.append(scaled.pixelColor(x, y).name());
            if (!seen.contains(colour.name()))
                missing.append(QStringLiteral("%1 line, %2 at scale 1, is %3")
                                   .arg(edge, colour.name(), seen.join(u' ')));
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("; "))));
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
    bool boxesShow(const QString &expected, const char *file, int line) const
    {
        const QStringList texts = expected.split(u'|');
        const char *const names[] = {"txtCellID", "txtHEXVal", "txtOutputString", "txtChannel",
                                     "txtLocation"};
        for (int i = 0; i < 5; ++i)
            if (!compareText(names[i], box(names[i])->text(), texts.value(i), file, line))
                return false;
        return true;
    }
    int selectedRow() const { return list()->selectionModel()->selectedRows().value(0).row(); }
    // "what:argument|what:argument"; a step that cannot be done fails, naming it.
    bool act(const QString &steps, const char *file, int line)
    {
        const QStringList all = steps.split(u'|');
        for (qsizetype i = 0; i < all.size(); ++i) {
            const QString problem = step(all[i].section(u':', 0, 0), all[i].section(u':', 1));
            if (problem.isEmpty())
                continue;
            QString shown = all[i].size() > 40 ? all[i].left(40) + "…" : all[i];
            shown.replace(u'\t', "\\t").replace(u'\r', "\\r").replace(u'\n', "\\n");
            const QString message =
                QString("step %1 of %2, «%3»: %4").arg(i + 1).arg(all.size()).arg(shown, problem);
            QTest::qFail(message.toUtf8().constData(), file, line);
            return false;
        }
        return true;
    }
    QString step(const QString &what, const QString &arg)
    {
        auto *add = child<QLabel>(QStringLiteral("imgAddToFile"));
        auto *remove = child<QLabel>(QStringLiteral("imgRemoveFromFile"));
        const QPoint onPicture(8, 8);
        static const QMap<QString, QString> boxes{
            {"id", "txtCellID"}, {"ch", "txtChannel"}, {"desc", "txtLocation"}};
        if (boxes.contains(what)) { // retype the box
            box(boxes[what])->setFocus();
            box(boxes[what])->selectAll();
            QTest::keyClick(box(boxes[what]), Qt::Key_Delete);
            typeText(box(boxes[what]), arg);
        } else if (what == "paste") { // into the box with the focus
            QGuiApplication::clipboard()->setText(arg);
            QTest::keySequence(m_window->focusWidget(), QKeySequence::Paste);
        } else if (what == "menupaste") { // from the menu a right click opens
            QGuiApplication::clipboard()->setText(arg);
            QWidget *box = m_window->focusWidget();
            QContextMenuEvent open(QContextMenuEvent::Mouse, {4, 4},
                                   box->mapToGlobal(QPoint(4, 4)));
            QCoreApplication::sendEvent(box, &open);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return box->objectName() + " opens no menu";
            for (QAction *action : menu->actions())
                if (action->text().startsWith("&Paste"))
                    action->trigger();
            menu->close();
        } else if (what == "focus") {
            child<QWidget>(arg)->setFocus();
            if (!QTest::qWaitFor(
                    [&] { return QApplication::focusWidget() == child<QWidget>(arg); }))
                return "the focus is not there";
        } else if (what == "key") { // to the focused widget
            // No window manager gives the activation back after a modal window.
            m_window->activateWindow();
            if (!QTest::qWaitFor([&] { return m_window->isActiveWindow(); }))
                return "the window does not become active";
            QTest::keySequence(m_window->focusWidget(), QKeySequence(arg));
        } else if (what == "add" || what == "remove") { // click the picture
            QTest::mouseClick(what == "add" ? add : remove, Qt::LeftButton, {}, onPicture);
        } else if (what == "doubleclick") { // on "add", with the press before it
            QTest::mouseClick(add, Qt::LeftButton, {}, onPicture);
            QTest::mousePress(add, Qt::LeftButton, {}, onPicture);
            QTest::mouseDClick(add, Qt::LeftButton, {}, onPicture);
            QTest::mouseRelease(add, Qt::LeftButton, {}, onPicture);
        } else if (what == "dragoff") { // pressed on "add", released outside it
            QTest::mousePress(add, Qt::LeftButton, {}, onPicture);
            QTest::mouseRelease(add, Qt::LeftButton, {}, QPoint(40, 40));
        } else if (what == "menu") {
            auto *action = m_window->findChild<QAction *>(arg);
            if (!action || !action->isEnabled())
                return "no such menu item enabled";
            action->trigger();
        } else if (what == "row") { // scrolled to and clicked
            const QModelIndex index = list()->model()->index(arg.toInt(), 0);
            if (!index.isValid())
                return QString("the list has %1 rows").arg(list()->model()->rowCount());
            list()->scrollTo(index);
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                              list()->visualRect(index).center());
        } else if (what == "file") { // a line as a file read delivers it
            m_window->cellList().append(arg);
        } else {
            return "no such step";
        }
        return {};
    }
    std::unique_ptr<vusk::frmMain> m_window;
    QStringList m_opened;
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
