#include "celllistfile.h"
#include "celllistmodel.h"
#include "commandline.h"
#include "dialoganswers.h"
#include "frminfo.h"
#include "frmmain.h"
#include "programfolder.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vusk;

static QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += QString("0x%1\t1\tline %2\r\n").arg(i, 0, 16).arg(i).toLatin1();
    return bytes;
}

static QStringList numberedEntries(int count)
{
    return QString::fromLatin1(numberedLines(count)).split("\r\n", Qt::SkipEmptyParts);
}

const QString mine = "0xF\t9\tmine";
const QString waitNotice = "Дождитесь окончания чтения предыдущего файла.";
// Messages told after an opening or a save are written as "title|text".
const QString cutNotice = "Информация|Прочитаны только первые 2000 строк файла.";

class TestFileFlows : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    std::unique_ptr<frmMain> m_window;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const { return m_window->cellList().entries(); }
    const CellListReading &reading() const { return m_window->cellListReading(); }
    bool makePipe(const QString &name) { return QProcess::execute("mkfifo", {path(name)}) == 0; }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray readFile(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // Every file in the folder and below with its bytes; a pipe is never opened.
    QMap<QString, QByteArray> filesOnDisk() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(m_dir->path(), QDir::Files | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(m_dir->path()).relativeFilePath(it.next());
            files[name] = it.fileInfo().isFile() ? readFile(name) : "<not a file>";
        }
        return files;
    }
    void waitForReadEnd() { QTRY_VERIFY_WITH_TIMEOUT(!reading().isReading(), 60000); }
    void click(const QString &name) // a menu item, or a picture button
    {
        if (name.startsWith("img"))
            QTest::mouseClick(m_window->findChild<QLabel *>(name), Qt::LeftButton);
        else
            triggerAction(m_window.get(), name);
    }
    // Clicks, answers what opens from the script, and waits for any read it started.
    void chooseFile(const QString &trigger, const QList<ModalWatcher::Answer> &answers,
                    bool waitForRead = true)
    {
        ModalWatcher watcher(answers);
        click(trigger);
        if (waitForRead)
            waitForReadEnd();
        QVERIFY2(watcher.answered(), "a window the test expected did not open");
        QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
    }
    // Drags the addresses over the control, as a file manager does, and lets go
    // where the window shows it would take them: "refused", or how the drop went.
    QString drop(const QString &onto, const QList<QUrl> &urls)
    {
        auto *control = m_window->findChild<QWidget *>(onto);
        const QPoint at = control->mapTo(m_window.get(), control->rect().center());
        // Qt hands a drag to the innermost widget under it that takes drops.
        QWidget *target = m_window->childAt(at);
        while (!target->acceptDrops() && !target->isWindow())
            target = target->parentWidget();
        QMimeData data; // with the names as text too, which a box would take
        data.setUrls(urls);
        data.setText(urls.value(0).toString(QUrl::PreferLocalFile));
        const QPoint point = target->mapFrom(m_window.get(), at);
        const auto actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, {});
        QDragMoveEvent move(point, actions, &data, Qt::LeftButton, {});
        QDropEvent release(point, actions, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QCoreApplication::sendEvent(target, &move);
        if (!enter.isAccepted() || !move.isAccepted())
            return "refused";
        QCoreApplication::sendEvent(target, &release);
        if (!release.isAccepted())
            return "dropped and ignored";
        return release.dropAction() == Qt::CopyAction ? "copied" : "taken, not copied";
    }
    static void checkTold(const MessageBoxSeen &told, QString message, const QString &file)
    {
        message.replace("%1", QDir::toNativeSeparators(file));
        // A message that ends in "(" is followed by the system's own reason.
        QVERIFY2((told.title + '|' + told.text).startsWith(message), qPrintable(told.text));
    }

private slots:
    void init()
    {
        // A file left open by a read makes the next one fail with this warning.
        QTest::failOnWarning(QRegularExpression("already open"));
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        m_dir.emplace();
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        if (QStorageInfo(path("disk")).rootPath() == path("disk"))
            QProcess::execute("umount", {path("disk")});
    }

    void dialogsAskAsDescribed()
    {
        m_window->cellList().append(mine);
        for (const QString trigger : {"mnuFileOpen", "mnuFileSaveAs", "imgSaveToFile"}) {
            const bool open = trigger == "mnuFileOpen";
            FileDialogSeen seen;
            chooseFile(trigger, {lookAtFileDialog(&seen, cancelFileDialog())});
            QCOMPARE(seen.title, open ? "VUSK: Открытие файла" : "VUSK: Сохранение файла");
            QCOMPARE(seen.proposedName, open ? "btsinfo.txt" : "btsinfo_txt.txt");
            QCOMPARE(seen.folder, QDir(cellListFolder()).absolutePath());
            QCOMPARE(seen.filters, QStringList({"Текстовые документы (*.txt)", "Все файлы (*.*)"}));
            QCOMPARE(seen.acceptMode, open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        }
        QCOMPARE(entries(), QStringList{mine}); // cancelling changes nothing
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }

    void opening_data()
    {
        QTest::addColumn<QString>("kind"); // what the chosen name is on disk, or its path
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines"); // added by one opening
        QTest::addColumn<QString>("message");   // told after each opening, "" for none
        const auto row = [](const char *name, const QByteArray &bytes, const QStringList &lines,
                            const QString &message = {}, const QString &kind = "file") {
            QTest::newRow(name) << kind << bytes << lines << message;
        };
        const QString failed = "VUSK|Не удалось прочитать файл %1:\n";
        const QString tooLong = failed + "строка длиннее 1048576 байт";
        row("empty file", "", {});
        row("CR LF or CR ends a line, LF alone does not", "0x1\t1\ta\r\n0x2\t2\tb\rc\nd",
            {"0x1\t1\ta", "0x2\t2\tb", "c\nd"});
        row("empty and malformed lines stay", "x\r\n\r\nno tabs at all\r\n\t\t\r\n\r\n",
            {"x", "", "no tabs at all", "\t\t", ""});
        row("Cyrillic", "0x1\t1\t\xCE\xEF\xE8\xF1\xE0\xED\xE8\xE5", {"0x1\t1\tОписание"});
        row("1999 lines", numberedLines(1999), numberedEntries(1999));
        row("2000 lines", numberedLines(2000), numberedEntries(2000));
        row("2001 lines: the first 2000, and a notice", numberedLines(2001), numberedEntries(2000),
            cutNotice);
        row("2000 lines, then one too long: still the notice",
            numberedLines(2000) + QByteArray(1100 * 1024, 'x'), numberedEntries(2000), cutNotice);
        row("line over 1 MiB after two lines",
            "a\r\nb\r\n" + QByteArray(1536 * 1024, 'x') + "\r\nc", {"a", "b"},
            tooLong + " — похоже, это не список сот.");
        row("3 MiB without a line end", QByteArray(3 << 20, 'z'), {}, tooLong);
        row("named pipe: refused at once", "", {}, failed + "это не обычный файл.", "fifo");
        row("gone after the dialog", "a\r\n", {}, failed + "файл не найден", "vanishing");
        row("a read that fails at once is an error, not an empty file", "", {},
            failed + "ошибка чтения с диска (", "/proc/self/mem");
    }

    void opening()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);

        const QString file = kind.startsWith('/') ? kind : path("cells.txt");
        if (kind.startsWith('/') && !QFile::exists(kind))
            QSKIP("no such file on this system");
        if (kind == "fifo" && !makePipe("cells.txt"))
            QSKIP("no named pipes here");
        m_window->cellList().append(mine);
        QStringList expected{mine};
        for (int opening = 1; opening <= 2; ++opening) { // each opening counts its own lines
            if (kind == "file" || kind == "vanishing")
                writeFile("cells.txt", bytes);
            MessageBoxSeen told;
            QList<ModalWatcher::Answer> answers{[&](QWidget *dialog) {
                if (kind == "vanishing") // between the dialog and the read
                    connect(qobject_cast<QDialog *>(dialog), &QDialog::accepted,
                            [file] { QFile::remove(file); });
                typeFileName(file)(dialog);
            }};
            if (!message.isEmpty())
                answers.append(pressButton(QMessageBox::Ok, &told));
            chooseFile("mnuFileOpen", answers);
            expected += lines;
            QCOMPARE(entries(), expected);
            QCOMPARE(m_window->cellList().rowCount(), expected.size()); // all on screen
            checkTold(told, message, file);
            if (told.seen) // a failure is an error, a cut file only a notice
                QCOMPARE(told.icon,
                         message == cutNotice ? QMessageBox::Information : QMessageBox::Critical);
        }
    }

    void namedFiles_data()
    {
        QTest::addColumn<QString>("how");       // "start", or "drop on" a control
        QTest::addColumn<QStringList>("named"); // files in the folder, or addresses
        QTest::addColumn<QStringList>("lines"); // the list afterwards
        QTest::addColumn<QString>("told");      // the one message, %1 the first file named
        const auto row = [](const char *name, const QString &how, const QStringList &named,
                            const QStringList &lines, const QString &told = {}) {
            QTest::newRow(name) << how << named << lines << told;
        };
        const QString failed = "VUSK|Не удалось прочитать файл %1:\n";
        const QStringList twoFiles = numberedEntries(200) << "0xB\t2\tb";
        row("start: one file", "start", {"a.txt"}, {"0xA\t1\ta"});
        row("start: the second file after the first", "start", {"long.txt", "b.txt"}, twoFiles);
        row("start: a missing file is told, the next one opens", "start", {"missing.txt", "a.txt"},
            {"0xA\t1\ta"}, failed + "файл не найден");
        row("start: a pipe is refused", "start", {"pipe"}, {}, failed + "это не обычный файл.");
        row("drop on the list: two files in order", "drop on lstOutput", {"long.txt", "b.txt"},
            twoFiles);
        row("drop on a box opens the file, not its name", "drop on txtLocation", {"a.txt"},
            {"0xA\t1\ta"});
        row("drop during a read is refused", "drop on lstOutput during a read", {"a.txt"},
            numberedEntries(200), "Информация|" + waitNotice);
        row("a web address is not taken", "drop on lstOutput", {"https://example.org/a.txt"}, {});
    }

    void namedFiles()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, named);
        QFETCH(QStringList, lines);
        QFETCH(QString, told);

        writeFile("a.txt", "0xA\t1\ta\r\n");
        writeFile("b.txt", "0xB\t2\tb\r\n");
        writeFile("long.txt", numberedLines(200));
        if (named.contains("pipe") && !makePipe("pipe"))
            QSKIP("no named pipes here");
        QStringList arguments{"vusk"};
        QList<QUrl> urls;
        for (const QString &name : named) {
            arguments.append(path(name));
            urls.append(name.contains(':') ? QUrl(name) : QUrl::fromLocalFile(path(name)));
        }
        MessageBoxSeen seen;
        ModalWatcher watcher(told.isEmpty() ? QList<ModalWatcher::Answer>{}
                                            : QList{pressButton(QMessageBox::Ok, &seen)});
        const QString onto = how.section(' ', 2, 2);
        if (how == "start") {
            m_window->openFiles(parseCommandLine(arguments).files);
        } else if (how.endsWith("during a read")) { // once ten lines are in
            connect(&reading(), &CellListReading::lineRead, this, [&] {
                if (m_window->cellList().count() == 10)
                    QTimer::singleShot(0, this, [&] { QCOMPARE(drop(onto, urls), "copied"); });
            });
            m_window->openFiles({path("long.txt")});
        } else {
            QCOMPARE(drop(onto, urls), urls.first().isLocalFile() ? "copied" : "refused");
        }
        QTRY_COMPARE_WITH_TIMEOUT(entries(), lines, 10000);
        QTRY_VERIFY(watcher.answered());
        waitForReadEnd();
        QCOMPARE(entries(), lines);
        QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
        checkTold(seen, told, path(named.first()));
    }

    void everyByteRoundTrips()
    {
        QByteArray bytes; // two lines: the bytes below 128, and the others
        for (int value = 0; value < 256; ++value) {
            if (value != '\r' && value != '\n')
                bytes += char(value);
            if (value % 128 == 127)
                bytes += "\r\n";
        }
        writeFile("all-bytes.txt", bytes);
        chooseFile("mnuFileOpen", {typeFileName(path("all-bytes.txt"))});
        chooseFile("mnuFileSaveAs", {typeFileName(path("copy.txt"))});
        QCOMPARE(readFile("copy.txt"), bytes);
    }

    void saving_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("setUp");          // what is on disk before
        QTest::addColumn<QString>("typed");          // in the dialog; "" cancels it
        QTest::addColumn<bool>("asked");             // whether to replace a file (answered yes)
        QTest::addColumn<QString>("written");        // the one file that changes, to hold the list
        QTest::addColumn<QMessageBox::Icon>("icon"); // of the message told
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QStringList &list, const QString &setUp,
                            const QString &typed, bool asked, const QString &written,
                            QMessageBox::Icon icon = QMessageBox::NoIcon,
                            const QString &message = {}) {
            QTest::newRow(name) << list << setUp << typed << asked << written << icon << message;
        };
        const QStringList two{"0x1A2B\t62\tX", "0xF\t\tОписание"};
        const QStringList big(20, QString(5000, u'e'));
        const auto error = QMessageBox::Critical;
        const QString failed = "VUSK|Не удалось сохранить файл %1:\n";
        const QString notCp1251 = "Предупреждение|Запись %1 содержит символы, которых нет в "
                                  "кодировке Windows-1251. Файл не сохранён.";
        row("own extension", two, "", "cells.dat", false, "cells.dat");
        row("extension added", two, "", "cells", false, "cells.txt");
        row("a longer file is replaced whole", two, "cells.txt", "cells.txt", true, "cells.txt");
        row("cancel writes nothing", two, "", "", false, "");
#ifndef Q_OS_WIN // where names cannot end in a blank, the blanks are cut off
        row("a blank at the end belongs to the name", two, "cells.txt", "cells.txt ", false,
            "cells.txt ");
#endif
        row("a link stays, its target is written", two, "link", "link.txt", true, "target.txt");
        row("character outside Windows-1251", {"0x1\t1\tfine", "0x2\t2\tcafé"}, "", "cells.txt",
            false, "", QMessageBox::Warning, notCp1251.arg(2));
        row("U+0080 is not in Windows-1251", {QString(QChar(0x80))}, "", "cells.txt", false, "",
            QMessageBox::Warning, notCp1251.arg(1));
        row("named pipe is not replaced", two, "fifo", "pipe.txt", true, "", error,
            failed + "это не обычный файл.");
        row("full disk keeps the former file", big, "full", "disk/cells.txt", true, "", error,
            failed + "на диске не хватает места (");
        row("read-only disk keeps the former file", big, "read-only", "disk/cells.txt", true, "",
            error, failed + "диск доступен только для чтения (");
        row("a failure at the last step is reported", two, "commit fails", "cells.txt", false, "",
            error, failed + "ошибка записи на диск (disk gone).");
        row("empty list: a question, no dialog", {}, "", "<no dialog>", false, "",
            QMessageBox::Question, "Информация|Может сперва что-нибудь добавим?");
    }

    void saving()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, setUp);
        QFETCH(QString, typed);
        QFETCH(bool, asked);
        QFETCH(QString, written);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QString, message);

        const QByteArray former = numberedLines(3);
        const auto ownerReadWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        if (setUp == "cells.txt") {
            writeFile(setUp, former);
        } else if (setUp == "link") {
            writeFile("target.txt", former);
            QFile::setPermissions(path("target.txt"), ownerReadWrite);
            if (!hasSymbolicLinks() || !QFile::link(path("target.txt"), path("link.txt")))
                QSKIP("no symbolic links here");
        } else if (setUp == "fifo" && !makePipe(typed)) {
            QSKIP("no named pipes here");
        } else if (setUp == "full" || setUp == "read-only") {
            // A disk of our own, small enough to fill and able to turn read-only even for root.
            QDir().mkpath(path("disk"));
            if (QProcess::execute("mount",
                                  {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path("disk")}))
                QSKIP("cannot mount a small disk here");
            writeFile(typed, former);
            if (setUp == "read-only")
                QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", path("disk")}), 0);
        }
        for (const QString &entry : list)
            m_window->cellList().append(entry);
        const auto realCommit = qScopeGuard([] { setCommitStep(nullptr); });
        if (setUp == "commit fails")
            setCommitStep([](QSaveFile &, QString *error) {
                *error = "disk gone";
                return false;
            });
        QMap<QString, QByteArray> expected = filesOnDisk(); // as it is before the save

        QList<ModalWatcher::Answer> answers;
        MessageBoxSeen told;
        if (typed.isEmpty())
            answers.append(cancelFileDialog());
        else if (typed != "<no dialog>")
            answers.append(typeFileName(path(typed)));
        if (asked)
            answers.append(pressButton(QMessageBox::Yes));
        if (!message.isEmpty())
            answers.append(pressButton(QMessageBox::Ok, &told));
        chooseFile("imgSaveToFile", answers);
        checkTold(told, message, path(typed));
        QCOMPARE(told.icon, icon);

        // The list is never touched, and only the file written changes.
        QCOMPARE(entries(), list);
        const QByteArray saved = "0x1A2B\t62\tX\r\n0xF\t\t\xCE\xEF\xE8\xF1\xE0\xED\xE8\xE5\r\n";
        if (!written.isEmpty())
            expected[written] = saved;
        if (setUp == "link") {
            expected["link.txt"] = saved;
            QVERIFY(QFileInfo(path("link.txt")).isSymLink());
            // The "user" bits only repeat the owner's for the process that asks.
            QCOMPARE(QFile::permissions(path("target.txt")) &
                         ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                     ownerReadWrite);
        }
        QCOMPARE(filesOnDisk(), expected);
    }

    void duringARead_data()
    {
        QTest::addColumn<QString>("action"); // what the user does once ten lines are in
        QTest::addColumn<QString>("typed");  // in the dialog that action opens
        QTest::addColumn<QString>("told");   // the message it brings, or "" for none
        const QList<QStringList> rows{
            {"adding an entry", "imgAddToFile", "", ""},
            {"a message box holds the read", "mnuEditDelete", "", "Выберите строку для удаления!"},
            {"the Information window holds the read", "mnuFileInformation", "", ""},
            {"a second opening adds nothing", "mnuFileOpen", "other.txt", waitNotice},
            {"saving elsewhere", "mnuFileSaveAs", "saved.txt", ""},
            {"saving onto the file being read is refused", "mnuFileSaveAs", "long.txt", waitNotice},
            {"saving onto a link to it too", "mnuFileSaveAs", "link.txt", waitNotice},
            {"exit ends the read at once", "mnuFileExit", "", ""}};
        for (const QStringList &row : rows)
            QTest::newRow(qPrintable(row.at(0))) << row.at(1) << row.at(2) << row.at(3);
    }

    void duringARead()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, told);

        writeFile("long.txt", numberedLines(2000));
        writeFile("other.txt", "other\r\n");
        if (typed == "link.txt" && !hasSymbolicLinks())
            QSKIP("no symbolic links here");
        QFile::link(path("long.txt"), path("link.txt"));
        const bool info = action == "mnuFileInformation";
        // A window that opens holds the read; the list shows all that was read before it.
        auto hold = [&](QWidget *modal) {
            // Its only button, OK or Close, is clicked however the checks below end.
            const auto close = qScopeGuard(
                [modal] { QTest::mouseClick(modal->findChild<QPushButton *>(), Qt::LeftButton); });
            const qsizetype count = m_window->cellList().count();
            QCOMPARE(m_window->cellList().rowCount(), count);
            QVERIFY(!QSignalSpy(&reading(), &CellListReading::lineRead).wait(150));
            auto *box = qobject_cast<QMessageBox *>(modal);
            QCOMPARE(box ? box->text() : modal->findChild<QLabel *>("lblBTSCount")->text(),
                     info ? QString::number(count) : told);
        };
        QList<ModalWatcher::Answer> answers;
        if (!typed.isEmpty())
            answers.append(typeFileName(path(typed)));
        if (typed == "long.txt" || typed == "link.txt")
            answers.append(pressButton(QMessageBox::Yes)); // replace it? yes
        if (!told.isEmpty() || info)
            answers.append(ModalWatcher::Answer(hold, info ? &frmInfo::staticMetaObject
                                                           : &QMessageBox::staticMetaObject));
        // The user acts between two lines of the read, once ten lines are in.
        qsizetype countAfterwards = -1;
        bool readingAfterwards = false;
        std::unique_ptr<ModalWatcher> watcher;
        connect(&reading(), &CellListReading::lineRead, this, [&] {
            if (m_window->cellList().count() == 10)
                QTimer::singleShot(0, this, [&] {
                    watcher = std::make_unique<ModalWatcher>(answers);
                    if (action == "imgAddToFile")
                        m_window->findChild<QLineEdit *>("txtCellID")->setText("255");
                    click(action);
                    countAfterwards = m_window->cellList().count();
                    readingAfterwards = reading().isReading();
                });
        });
        chooseFile("mnuFileOpen", {typeFileName(path("long.txt"))}, false);
        QTRY_VERIFY_WITH_TIMEOUT(countAfterwards >= 0, 60000);
        QVERIFY(countAfterwards < 2000); // the user acted while the read went on
        QVERIFY(watcher->answered());
        if (action == "mnuFileExit") { // the window is gone, and nothing more is read
            QVERIFY(!m_window->isVisible() && !readingAfterwards);
            QVERIFY(!QSignalSpy(&reading(), &CellListReading::lineRead).wait(100));
            QCOMPARE(entries(), numberedEntries(int(countAfterwards)));
            return;
        }
        QVERIFY(readingAfterwards); // the read goes on
        waitForReadEnd();

        QStringList all = entries();
        if (action == "imgAddToFile") // in its place, between two lines of the file
            QCOMPARE(all.takeAt(countAfterwards - 1), "0xFF\t\t");
        QCOMPARE(all, numberedEntries(2000));
        QCOMPARE(readFile("long.txt"), numberedLines(2000));
        if (typed == "saved.txt")
            QCOMPARE(readFile(typed), numberedLines(int(countAfterwards)));
    }
};

QTEST_MAIN(TestFileFlows)
#include "tst_fileflows.moc"
