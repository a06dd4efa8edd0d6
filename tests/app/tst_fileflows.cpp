#include "celllistfile.h"
#include "celllistformat.h"
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
#include <QStringEncoder>
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

    void roundTrips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("told"); // after the opening
        QByteArray bytes;                  // two lines: the bytes below 128, and the others
        for (int value = 0; value < 256; ++value) {
            if (value != '\r' && value != '\n')
                bytes += char(value);
            if (value % 128 == 127)
                bytes += "\r\n";
        }
        QTest::newRow("every byte of Windows-1251") << bytes << bytes << "";
        const QString text = "0x1\t1\tЁлки\r\n0x2\t2\tб\r\n";
        const QString notice = "Информация|Файл «cells.txt» записан в кодировке %1; список будет "
                               "сохранён в Windows-1251.";
        QTest::newRow("UTF-16 LE is saved in Windows-1251")
            << "\xFF\xFE" + QStringEncoder(QStringConverter::Utf16LE)(text)
            << QByteArray("0x1\t1\t\xA8\xEB\xEA\xE8\r\n0x2\t2\t\xE1\r\n")
            << notice.arg("UTF-16 LE");
    }

    void roundTrips()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        QFETCH(QString, told);
        writeFile("cells.txt", bytes);
        MessageBoxSeen seen;
        QList<ModalWatcher::Answer> answers{typeFileName(path("cells.txt"))};
        if (!told.isEmpty()) // once per file
            answers.append(pressButton(QMessageBox::Ok, &seen));
        chooseFile("mnuFileOpen", answers);
        checkTold(seen, told, path("cells.txt"));
        QCOMPARE(seen.icon, told.isEmpty() ? QMessageBox::NoIcon : QMessageBox::Information);
        chooseFile("mnuFileSaveAs", {typeFileName(path("copy.txt"))});
        QCOMPARE(readFile("copy.txt"), saved);
    }

    void saving_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("setUp");          // what is on disk before, or its name
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
        // What is refused anyway is told before the dialog, or before the question to replace.
        row("character outside Windows-1251", {"0x1\t1\tfine", "0x2\t2\tcafé"}, "cells.txt",
            "<no dialog>", false, "", QMessageBox::Warning, notCp1251.arg(2));
        row("U+0080 is not in Windows-1251", {QString(QChar(0x80))}, "", "<no dialog>", false, "",
            QMessageBox::Warning, notCp1251.arg(1));
        row("an entry longer than a file line reads back",
            {"0x1\t1\tfine", QString(maxLineBytes + 1, u'x')}, "cells.txt", "<no dialog>", false,
            "", QMessageBox::Warning,
            "Предупреждение|Запись 2 длиннее 1048576 знаков: такую строку нельзя будет прочитать "
            "из файла. Файл не сохранён.");
        row("named pipe is not replaced", two, "fifo", "pipe.txt", false, "", error,
            failed + "это не обычный файл.");
        row("a link to itself is not replaced", two, "loop", "loop.txt", false, "", error,
            failed + "это не обычный файл.");
        const QString longName = QString(125, u'ж') + "x.txt"; // 255 bytes
        row("a name of 255 bytes is saved over", two, longName, longName, true, longName);
        row("read-only file", two, "read-only file", "cells.txt", false, "", error,
            failed + "файл защищён от записи (");
        row("full disk keeps the former file", big, "full", "disk/cells.txt", true, "", error,
            failed + "на диске не хватает места (");
        row("read-only disk keeps the former file", big, "read-only", "disk/cells.txt", false, "",
            error, failed + "диск доступен только для чтения (");
        row("a failure at the last step is reported", two, "commit fails", "cells.txt", false, "",
            error, failed + "ошибка записи на диск (disk gone).");
#ifndef Q_OS_WIN // names there are counted in characters, and files replaced whole
        row("a name too long for the system", two, "", "ж" + longName, false, "", error,
            failed + "слишком длинное имя файла (");
        // A file with a second name is written in place, after a copy of what it held.
        row("a second name on a full disk: put back as it was", big, "full, second name",
            "disk/cells.txt", true, "", error, failed + "на диске не хватает места (");
        row("a second name, the last step failing: the copy stays", two,
            "commit fails, second name", "cells.txt", true, "", error,
            failed +
                "ошибка записи на диск (disk gone); прежнее содержимое файла сохранено в %1~.");
#endif
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
        if (setUp == "cells.txt" || setUp == "read-only file" ||
            setUp == "commit fails, second name" || (!typed.isEmpty() && setUp == typed)) {
            writeFile(setUp == "cells.txt" || setUp == "read-only file" ? "cells.txt" : typed,
                      former);
            if (setUp == "read-only file" &&
                (!QFile::setPermissions(path("cells.txt"), QFile::ReadOwner | QFile::ReadUser) ||
                 QFileInfo(path("cells.txt")).isWritable()))
                QSKIP("this user writes read-only files all the same");
        } else if (setUp == "link") {
            writeFile("target.txt", former);
            QFile::setPermissions(path("target.txt"), ownerReadWrite);
            if (!hasSymbolicLinks() || !QFile::link(path("target.txt"), path("link.txt")))
                QSKIP("no symbolic links here");
        } else if (setUp == "fifo" && !makePipe(typed)) {
            QSKIP("no named pipes here");
        } else if (setUp == "loop" && (!hasSymbolicLinks() || !QFile::link(typed, path(typed)))) {
            QSKIP("no symbolic links here");
        } else if (setUp.startsWith("full") || setUp == "read-only") {
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
        const QString otherName = QFileInfo(typed).path() + "/other.txt";
        if (setUp.endsWith("second name") &&
            QProcess::execute("ln", {path(typed), path(otherName)}))
            QSKIP("no hard links here");
        if (setUp.startsWith("commit fails"))
            m_window->setSaveCommitStep(
                [](const QString &, const std::function<bool(QString *)> &, QString *error) {
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
        if (message.contains("сохранено в")) // the copy of what the file held
            expected[typed + "~"] = former;
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
        QTest::addColumn<QString>("action"); // by the user or another program, at line 10
        QTest::addColumn<QString>("typed");  // in the dialog that action opens
        QTest::addColumn<QString>("told");   // the message it brings, or "" for none
        const QString changedNotice =
            "Не удалось прочитать файл %1:\nфайл изменился во время чтения.";
        const QList<QStringList> rows{
            {"adding an entry", "imgAddToFile", "", ""},
            {"a message box holds the read", "mnuEditDelete", "", "Выберите строку для удаления!"},
            {"the Information window holds the read", "mnuFileInformation", "", ""},
            {"a second opening adds nothing", "mnuFileOpen", "other.txt", waitNotice},
            {"saving elsewhere", "mnuFileSaveAs", "saved.txt", ""},
            {"saving onto the file being read is refused, before the question to replace it",
             "mnuFileSaveAs", "long.txt", waitNotice},
            {"saving onto a link to it too", "mnuFileSaveAs", "link.txt", waitNotice},
#ifndef Q_OS_WIN // where a file being read cannot be renamed
            {"saving onto it renamed meanwhile too", "mnuFileSaveAs", "moved.txt", waitNotice},
#endif
            {"the file cut in the middle of a line", "cut", "", changedNotice},
            {"the file rewritten in place", "rewrite", "", changedNotice},
            {"lines appended meanwhile are read on", "append", "",
             "Прочитаны только первые 2000 строк файла."},
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
        told.replace("%1", QDir::toNativeSeparators(path("long.txt")));
        QFile written(path("long.txt")); // an hour ago, so that a rewrite shows in its time
        QVERIFY(written.open(QIODevice::ReadWrite) &&
                written.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                    QFileDevice::FileModificationTime));
        written.close();
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
            const QString shown =
                box ? box->text() : modal->findChild<QLabel *>("lblBTSCount")->text();
            const QString expected = info ? QString::number(count) : told;
            QVERIFY2(shown == expected, qPrintable(shown + "\nexpected: " + expected));
        };
        QList<ModalWatcher::Answer> answers;
        if (!typed.isEmpty())
            answers.append(typeFileName(path(typed)));
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
                    if (typed == "moved.txt") // by another program, while the read goes on
                        QFile::rename(path("long.txt"), path(typed));
                    QFile file(path("long.txt")); // another program, between two lines
                    if (action == "cut")
                        QVERIFY(file.resize(30005));
                    else if (action == "rewrite")
                        writeFile("long.txt", numberedLines(2000).replace("line", "LINE"));
                    else if (action == "append")
                        QVERIFY(file.open(QIODevice::Append) && file.write("more\r\n") == 6);
                    else
                        click(action);
                    countAfterwards = m_window->cellList().count();
                    readingAfterwards = reading().isReading();
                });
        });
        chooseFile("mnuFileOpen", {typeFileName(path("long.txt"))}, false);
        QTRY_VERIFY_WITH_TIMEOUT(countAfterwards >= 0, 60000);
        QVERIFY(countAfterwards < 2000); // the user acted while the read went on
        if (action == "mnuFileExit") {   // the window is gone, and nothing more is read
            QVERIFY(watcher->answered());
            QVERIFY(!m_window->isVisible() && !readingAfterwards);
            QVERIFY(!QSignalSpy(&reading(), &CellListReading::lineRead).wait(100));
            QCOMPARE(entries(), numberedEntries(int(countAfterwards)));
            return;
        }
        QVERIFY(readingAfterwards); // the read goes on
        waitForReadEnd();
        QVERIFY2(watcher->answered(), "a window the test expected did not open");
        if (action == "cut" || action == "rewrite" || action == "append") {
            // Whole lines as they were, and no more.
            QCOMPARE(entries(), numberedEntries(action == "append" ? 2000 : int(countAfterwards)));
            return;
        }

        QStringList all = entries();
        if (action == "imgAddToFile") // in its place, between two lines of the file
            QCOMPARE(all.takeAt(countAfterwards - 1), "0xFF\t\t");
        QCOMPARE(all, numberedEntries(2000));
        QCOMPARE(readFile(typed == "moved.txt" ? typed : "long.txt"), numberedLines(2000));
        if (typed == "saved.txt")
            QCOMPARE(readFile(typed), numberedLines(int(countAfterwards)));
    }

    void ending_data()
    {
        QTest::addColumn<QString>("steps");   // add, remove, open:name, save:name
        QTest::addColumn<QString>("how");     // the menu item, or the close box
        QTest::addColumn<QString>("answers"); // the question's button, then the save's dialog;
        QTest::addColumn<bool>("ends");       // "" where nothing is asked
        const auto row = [](const char *name, const char *steps, const char *answers, bool ends,
                            const char *how = "mnuFileExit") {
            QTest::newRow(name) << QString(steps) << QString(how) << QString(answers) << ends;
        };
        row("add, then exit asks; «Нет» ends", "add", "Нет", true);
        row("«Отмена» keeps the window and the list", "add", "Отмена", false);
        row("Escape is «Отмена»", "add", "Escape", false);
        row("the question's close box is «Отмена»", "add", "close", false);
        row("«Да», then a cancelled dialog keeps it", "add", "Да|cancel", false);
        row("«Да», then a failed save keeps it", "add", "Да|fails:saved.txt", false);
        row("«Да», then a save ends; the file holds every entry", "open:cells.txt|add",
            "Да|saved.txt", true);
        row("open into an empty list, then exit asks nothing", "open:cells.txt", "", true);
        row("save, then exit asks nothing", "add|save:saved.txt", "", true);
        row("remove after a save asks", "add|add|save:saved.txt|remove", "Нет", true);
        row("a file opened into a list with entries asks", "add|save:saved.txt|open:cells.txt",
            "Нет", true);
        row("a list emptied by removing holds nothing to save", "add|remove", "", true);
        row("the close box asks as the menu does", "add", "Отмена", false, "close box");
        row("the close box ends on «Нет»", "add", "Нет", true, "close box");
    }

    void ending()
    {
        QFETCH(QString, steps);
        QFETCH(QString, how);
        QFETCH(QString, answers);
        QFETCH(bool, ends);

        writeFile("cells.txt", numberedLines(3));
        for (const QString &step : steps.split(u'|', Qt::SkipEmptyParts)) {
            const QString name = path(step.section(u':', 1));
            if (step == "add")
                m_window->findChild<QLineEdit *>("txtCellID")->setText("15");
            if (step == "add" || step == "remove")
                click(step == "add" ? "imgAddToFile" : "mnuEditDelete");
            else
                chooseFile(step.startsWith("open") ? "mnuFileOpen" : "mnuFileSaveAs",
                           {typeFileName(name)});
        }
        const QStringList before = entries();
        const QString title = "VUSK v1.0.5 [engineer build]";
        QCOMPARE(m_window->windowHandle()->title(), answers.isEmpty() ? title : title + '*');

        MessageBoxSeen question;
        QStringList buttons;
        QList<ModalWatcher::Answer> script;
        for (const QString &answer : answers.split(u'|', Qt::SkipEmptyParts)) {
            if (!script.isEmpty()) { // the save's dialog, and what it tells
                const bool fails = answer.startsWith("fails:");
                if (fails)
                    m_window->setSaveCommitStep([](const QString &,
                                                   const std::function<bool(QString *)> &,
                                                   QString *error) {
                        *error = "disk gone";
                        return false;
                    });
                script.append(answer == "cancel" ? cancelFileDialog()
                                                 : typeFileName(path(answer.section(u':', -1))));
                if (fails)
                    script.append(pressButton(QMessageBox::Ok));
                continue;
            }
            script.append(ModalWatcher::Answer(
                [&, answer](QWidget *modal) {
                    auto *box = static_cast<QMessageBox *>(modal);
                    question = {true, box->windowTitle(), box->text(), box->icon(), {}};
                    for (QAbstractButton *button : box->buttons())
                        buttons.append(button->text());
                    if (answer == "Escape")
                        QTest::keyClick(box, Qt::Key_Escape);
                    else if (answer == "close")
                        box->close();
                    for (QAbstractButton *button : box->buttons())
                        if (button->text() == answer)
                            QTest::mouseClick(button, Qt::LeftButton);
                },
                &QMessageBox::staticMetaObject));
        }
        ModalWatcher watcher(script);
        if (how == "close box") { // as the window system asks, for Alt+F4 too
            QCloseEvent close;
            QCoreApplication::sendEvent(m_window->windowHandle(), &close);
        } else {
            click(how);
        }
        QVERIFY2(watcher.answered(), "a window the test expected did not open");
        QVERIFY2(watcher.unexpected().isEmpty(), qPrintable(watcher.unexpected().join(u'\n')));
        if (question.seen) {
            QCOMPARE(question.title + '|' + question.text, "VUSK|Сохранить изменения в списке?");
            QCOMPARE(question.icon, QMessageBox::Question);
            buttons.sort();
            QCOMPARE(buttons.join(u' '), "Да Нет Отмена");
        }
        QCOMPARE(m_window->isVisible(), !ends);
        QCOMPARE(entries(), before);
        if (!ends)
            QCOMPARE(m_window->windowHandle()->title(), title + '*');
        if (answers.endsWith("|saved.txt"))
            QCOMPARE(readFile("saved.txt"), (before.join("\r\n") + "\r\n").toLatin1());
    }
};

QTEST_MAIN(TestFileFlows)
#include "tst_fileflows.moc"
